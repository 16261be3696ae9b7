#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <vector>

#include "IndexedPng.h"
#include "PaletteChunk.h"

namespace {

struct Decoded {
    bool ok = false;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb;
};

Decoded DecodeRgb(const std::vector<uint8_t>& png) {
    Decoded out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return out;
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    out.ok = png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) != 0;
    out.width = image.width;
    out.height = image.height;
    png_image_free(&image);
    return out;
}

// The whole point of the completion: a broadcast logo a decoder refuses becomes one whose pixels
// are the fixed table's colours.
TEST(PaletteCompletion, MakesABroadcastLogoDecodableInTheTableColours) {
    std::vector<uint8_t> indices(128);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(127 - i);
    LogoRecord logo;
    logo.data = overlay_test::IndexedPngWithoutPalette(16, 8, indices);

    EXPECT_FALSE(DecodeRgb(logo.data).ok);
    const Decoded decoded = DecodeRgb(InsertPalette(logo));
    ASSERT_TRUE(decoded.ok);
    ASSERT_EQ(decoded.width, 16u);
    ASSERT_EQ(decoded.height, 8u);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const uint8_t* entry = PALETTE_CHUNK.data() + 8 + indices[i] * 3;
        EXPECT_EQ(decoded.rgb[i * 3], entry[0]) << "pixel " << i;
        EXPECT_EQ(decoded.rgb[i * 3 + 1], entry[1]) << "pixel " << i;
        EXPECT_EQ(decoded.rgb[i * 3 + 2], entry[2]) << "pixel " << i;
    }
}

}  // namespace
