#include <boost/crc.hpp>

#include <algorithm>
#include <iterator>

#include "LogoStore.h"

namespace {

constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t ReadBigEndian32(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

}  // namespace

bool LogoStore::IsWellFormedPng(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < sizeof kSignature) return false;
    if (!std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin())) return false;
    size_t position = sizeof kSignature;
    while (position != bytes.size()) {
        const size_t remaining = bytes.size() - position;
        if (remaining < 4) return false;
        // 64-bit sum: a length near 2^32 must not wrap round and pass the bound.
        const uint64_t length = ReadBigEndian32(&bytes[position]);
        position += 4;
        if (remaining - 4 < length + 8) return false;
        boost::crc_32_type crc;
        crc.process_bytes(&bytes[position], static_cast<size_t>(4 + length));
        position += static_cast<size_t>(4 + length);
        if (crc.checksum() != ReadBigEndian32(&bytes[position])) return false;
        position += 4;
    }
    return true;
}
