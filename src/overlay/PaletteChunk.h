#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "LogoRecord.h"

// The fixed 128-colour table of ARIB STD-B24 as a complete PNG PLTE chunk: broadcast logos index
// it but do not carry it, so a decoder needs it inserted.
inline constexpr std::size_t kPaletteEntries = 128;
inline constexpr std::size_t kPaletteChunkSize = 4 + 4 + kPaletteEntries * 3 + 4;

// Where the chunk goes: behind the 8-byte PNG signature and the 25-byte IHDR chunk.
inline constexpr std::size_t kPaletteOffset = 33;

namespace insigno::detail {

constexpr std::array<uint8_t, kPaletteEntries * 3> MakePaletteEntries() {
    constexpr uint8_t levels[4] = {0x00, 0x55, 0xAA, 0xFF};
    std::array<uint8_t, kPaletteEntries * 3> rgb{};
    std::size_t n = 0;
    auto put = [&](uint8_t r, uint8_t g, uint8_t b) {
        rgb[n * 3] = r;
        rgb[n * 3 + 1] = g;
        rgb[n * 3 + 2] = b;
        ++n;
    };
    auto byBits = [](unsigned index, uint8_t on, unsigned bit) -> uint8_t {
        return (index >> bit) & 1 ? on : 0;
    };
    // 0-7 full intensity, 8 black, 9-15 at 0xAA, both by the index bits (red, green, blue).
    for (unsigned i = 0; i < 8; ++i)
        put(byBits(i, 0xFF, 0), byBits(i, 0xFF, 1), byBits(i, 0xFF, 2));
    put(0, 0, 0);
    for (unsigned i = 1; i < 8; ++i)
        put(byBits(i, 0xAA, 0), byBits(i, 0xAA, 1), byBits(i, 0xAA, 2));
    // 16-64: every other combination of the four levels, red most significant.
    auto inFirstSixteen = [](unsigned r, unsigned g, unsigned b) {
        const bool onlyFull = (r == 0 || r == 3) && (g == 0 || g == 3) && (b == 0 || b == 3);
        const bool onlyAA = (r == 0 || r == 2) && (g == 0 || g == 2) && (b == 0 || b == 2);
        return onlyFull || onlyAA;
    };
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned g = 0; g < 4; ++g)
            for (unsigned b = 0; b < 4; ++b)
                if (!inFirstSixteen(r, g, b)) put(levels[r], levels[g], levels[b]);
    // 65-127: entries 0-7, then 9-63 again.
    for (std::size_t i = 0; i < 64; ++i)
        if (i != 8) put(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
    return rgb;
}

constexpr std::array<uint8_t, kPaletteChunkSize> MakePaletteChunk() {
    std::array<uint8_t, kPaletteChunkSize> chunk{0x00, 0x00, 0x01, 0x80, 'P', 'L', 'T', 'E'};
    const auto rgb = MakePaletteEntries();
    for (std::size_t i = 0; i < rgb.size(); ++i) chunk[8 + i] = rgb[i];
    // CRC-32 of "PLTE" and the entries; a test recomputes it.
    chunk[392] = 0x91;
    chunk[393] = 0xFB;
    chunk[394] = 0x1F;
    chunk[395] = 0xA7;
    return chunk;
}

}  // namespace insigno::detail

inline constexpr std::array<uint8_t, kPaletteChunkSize> PALETTE_CHUNK =
    insigno::detail::MakePaletteChunk();

// A copy of the logo's PNG bytes with PALETTE_CHUNK inserted at kPaletteOffset, or unchanged when
// a PLTE chunk of its own comes before its image data (chunks are read by their lengths only).
// Data shorter than kPaletteOffset has no place for the chunk: the result is empty, meaning "no
// texture".
std::vector<uint8_t> InsertPalette(const LogoRecord& logo);
