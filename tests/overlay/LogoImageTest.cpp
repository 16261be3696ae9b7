// A logo's PNG becomes texels of exactly its type's size: as they are when the image has that
// size, scaled into the box when it has another (a viewer's bitmap of another size, a malformed
// logo file), nothing when the data does not decode.
#include <gtest/gtest.h>

#include <string>

#include "LogoImage.h"
#include "PngSupport.h"

namespace {

using namespace overlay_test;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kClear = 0x00000000;

// A picture in two colours split at column `split` (of `width`): left `left`, right `right`.
Bytes Halves(int width, int height, int split, const Rgba& left, const Rgba& right) {
    std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            indices[static_cast<size_t>(y) * width + x] = x < split ? 0 : 1;
    return PalettePng(width, height, indices, {left, right});
}

struct ImageCase {
    const char* name;
    Bytes png;
    int boxWidth, boxHeight;
    int x, y;           // a texel of the box
    uint32_t expected;  // 0xAARRGGBB
};

class LogoImageTest : public ::testing::TestWithParam<ImageCase> {};

TEST_P(LogoImageTest, FillsTheBoxOfTheLogosType) {
    const ImageCase& c = GetParam();
    const auto image =
        insigno::DecodeLogoImage(c.png.data(), c.png.size(), c.boxWidth, c.boxHeight);
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->width, c.boxWidth);
    ASSERT_EQ(image->height, c.boxHeight);
    EXPECT_EQ(image->pixels[static_cast<size_t>(c.y) * c.boxWidth + c.x], c.expected)
        << std::hex << image->pixels[static_cast<size_t>(c.y) * c.boxWidth + c.x];
}

const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255}, clear{0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Sizes, LogoImageTest,
    ::testing::Values(
        // The type's own size: texel for pixel, the split where it was.
        ImageCase{"OwnSizeLastRed", Halves(64, 36, 33, red, blue), 64, 36, 32, 0, kRed},
        ImageCase{"OwnSizeFirstBlue", Halves(64, 36, 33, red, blue), 64, 36, 33, 35, kBlue},
        // A viewer's 128 x 72 bitmap of a 64 x 36 logo: each texel averages 2 x 2 pixels.
        ImageCase{"HalvedAcrossTheSplit", Halves(128, 72, 65, red, blue), 64, 36, 32, 0,
                  0xFF800080},
        ImageCase{"HalvedRightEdge", Halves(128, 72, 65, red, blue), 64, 36, 63, 35, kBlue},
        // A 32 x 18 one: each pixel covers 2 x 2 texels, to the box's far corner.
        ImageCase{"DoubledLastRed", Halves(32, 18, 16, red, blue), 64, 36, 31, 0, kRed},
        ImageCase{"DoubledFarCorner", Halves(32, 18, 16, red, blue), 64, 36, 63, 35, kBlue},
        // 1025 x 4: squeezed into the box rather than cut to its first 64 columns.
        ImageCase{"SqueezedRightEdge", Halves(1025, 4, 1000, red, blue), 64, 36, 63, 20, kBlue},
        // Transparent pixels lend no colour: half covered gives the opaque colour at half alpha.
        ImageCase{"TransparentHalfKeepsItsColour", Halves(2, 1, 1, red, clear), 1, 1, 0, 0,
                  0x80FF0000},
        ImageCase{"AllTransparent", Halves(2, 2, 2, clear, clear), 1, 1, 0, 0, kClear}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(LogoImage, DataThatDoesNotDecodeOrABoxWithoutAreaGivesNoTexels) {
    const Bytes png = Halves(64, 36, 32, red, blue);
    EXPECT_FALSE(insigno::DecodeLogoImage(png.data(), 40, 64, 36));
    EXPECT_FALSE(insigno::DecodeLogoImage(png.data(), png.size(), 0, 0));
    const Bytes huge = WithSize(png, insigno::kMaxLogoSide + 1, 1);
    EXPECT_FALSE(insigno::DecodeLogoImage(huge.data(), huge.size(), 64, 36));
}

}  // namespace
