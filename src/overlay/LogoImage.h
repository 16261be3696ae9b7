#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace insigno {

// A logo decoded for a texture: width x height pixels, rows top first, each pixel 0xAARRGGBB
// (D3DFMT_A8R8G8B8's layout in a 32-bit word).
struct LogoImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// Decodes PNG bytes (any colour type and bit depth libpng reads, palettes with tRNS included)
// into exactly width x height pixels: an image of that size as it is, one of another size (a
// viewer's bitmap of another size, a malformed logo file) scaled into the box by area averaging.
// Empty for data libpng rejects, for a box without area and for images beyond kMaxLogoSide on a
// side, which are refused before their pixels are allocated.
std::optional<LogoImage> DecodeLogoImage(const uint8_t* data, std::size_t size, int width,
                                         int height);

inline constexpr int kMaxLogoSide = 4096;

}  // namespace insigno
