#include <algorithm>

#include "LogoStore.h"
#include "PngChunk.h"

namespace {

constexpr char kHeaderType[] = "IHDR";
constexpr uint64_t kHeaderLength = 13;

}  // namespace

bool LogoStore::IsWellFormedPng(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < kPngSignature.size()) return false;
    if (!std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin())) return false;
    size_t position = kPngSignature.size();
    while (position != bytes.size()) {
        const size_t remaining = bytes.size() - position;
        if (remaining < 4) return false;
        // 64-bit sum: a length near 2^32 must not wrap round and pass the bound.
        const uint64_t length = PngU32At(&bytes[position]);
        if (remaining - 4 < length + 8) return false;
        // The palette goes behind the header: a file with another chunk first cannot be shown.
        if (position == kPngSignature.size() &&
            (length != kHeaderLength ||
             !std::equal(kHeaderType, kHeaderType + 4, bytes.begin() + position + 4))) {
            return false;
        }
        position += 4;
        const uint32_t crc = PngChunkCrc(&bytes[position], static_cast<size_t>(4 + length));
        position += static_cast<size_t>(4 + length);
        if (crc != PngU32At(&bytes[position])) return false;
        position += 4;
    }
    return true;
}
