#include "Crc32.h"

#include <array>
#include <cstddef>

namespace {

// Eight tables for slicing-by-8: table[k][b] is the CRC register's change after byte b followed
// by k zero bytes, so eight bytes fold into the register with eight independent look-ups
// instead of a chain of eight dependent ones. The byte-wise loop was most of a scan's time.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

CrcTables BuildTables() {
    CrcTables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t reg = i << 24;
        for (int bit = 0; bit < 8; ++bit) {
            reg = (reg & 0x80000000u) ? (reg << 1) ^ 0x04C11DB7u : reg << 1;
        }
        tables[0][i] = reg;
    }
    for (size_t k = 1; k < tables.size(); ++k) {
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t previous = tables[k - 1][i];
            tables[k][i] = (previous << 8) ^ tables[0][previous >> 24];
        }
    }
    return tables;
}

// A function-local static is initialised exactly once even when several threads make the first
// call at the same time: the others wait until the tables are complete.
const CrcTables& Tables() {
    static const CrcTables tables = BuildTables();
    return tables;
}

}  // namespace

uint32_t Crc32(const uint8_t* begin, const uint8_t* end, uint32_t initial) {
    const CrcTables& t = Tables();
    uint32_t reg = initial;
    const uint8_t* p = begin;
    for (; end - p >= 8; p += 8) {
        const uint32_t high =
            reg ^ (static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
                   static_cast<uint32_t>(p[2]) << 8 | p[3]);
        reg = t[7][high >> 24] ^ t[6][(high >> 16) & 0xFF] ^ t[5][(high >> 8) & 0xFF] ^
              t[4][high & 0xFF] ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; p != end; ++p) reg = (reg << 8) ^ t[0][(reg >> 24) ^ *p];
    return reg;
}
