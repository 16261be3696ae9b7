// PNG files made for the texel tests: any picture of up to 256 colours, as a palette PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace overlay_test {

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
    std::uint8_t r, g, b, a;
};

// A palette PNG (PLTE, plus tRNS when an entry is not opaque) of width x height indices.
Bytes PalettePng(int width, int height, const std::vector<std::uint8_t>& indices,
                 const std::vector<Rgba>& palette);
// The same file without the named chunk.
Bytes WithoutChunk(const Bytes& png, const std::string& type);
// The same file with other dimensions written into IHDR (and its CRC fixed).
Bytes WithSize(const Bytes& png, std::uint32_t width, std::uint32_t height);

}  // namespace overlay_test
