#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "PngChunk.h"

// Rewrites the CRC of every whole chunk behind the 8-byte signature, so that mutated chunk data
// reaches what lies behind the CRC check instead of stopping there. A cut last chunk stays cut.
inline void FixPngCrcs(std::vector<uint8_t>& png) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint64_t length = uint64_t{png[at]} << 24 | uint64_t{png[at + 1]} << 16 |
                                uint64_t{png[at + 2]} << 8 | png[at + 3];
        if (length > png.size() - at - 12) return;
        const uint32_t crc = PngChunkCrc(&png[at + 4], static_cast<size_t>(4 + length));
        at += static_cast<size_t>(8 + length);
        for (int i = 0; i < 4; ++i) png[at + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += 4;
    }
}
