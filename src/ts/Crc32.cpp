#include "Crc32.h"

#include <array>

namespace {

using CrcTable = std::array<uint32_t, 256>;

CrcTable BuildTable() {
    CrcTable table{};
    for (uint32_t i = 0; i < table.size(); ++i) {
        uint32_t reg = i << 24;
        for (int bit = 0; bit < 8; ++bit) {
            reg = (reg & 0x80000000u) ? (reg << 1) ^ 0x04C11DB7u : reg << 1;
        }
        table[i] = reg;
    }
    return table;
}

// A function-local static is initialised exactly once even when several threads make the first
// call at the same time: the others wait until the table is complete.
const CrcTable& Table() {
    static const CrcTable table = BuildTable();
    return table;
}

}  // namespace

uint32_t Crc32(const uint8_t* begin, const uint8_t* end, uint32_t initial) {
    const CrcTable& table = Table();
    uint32_t reg = initial;
    for (const uint8_t* p = begin; p != end; ++p) {
        reg = (reg << 8) ^ table[(reg >> 24) ^ *p];
    }
    return reg;
}
