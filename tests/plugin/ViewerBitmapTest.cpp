// The viewer's logo bitmaps as the overlay draws them: the pixels of the DIB section, top row
// first, in a PNG of the logo type's size.

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <vector>

#include "ViewerLogo.h"

namespace {

struct BitmapCase {
    WORD bits;
    bool topDown;
    BYTE fourthByte;  // of every 32-bit pixel
    BYTE alpha;       // expected in the record
};

// The RGBA bytes of pixel (x, y) of a PNG as EncodeRgbaPng writes it (one IDAT, filter 0).
std::array<uint8_t, 4> PixelOf(const std::vector<uint8_t>& png, int width, int x, int y) {
    const uint32_t length = (png[33] << 24) | (png[34] << 16) | (png[35] << 8) | png[36];
    std::vector<uint8_t> rows(1 << 16);
    uLongf size = static_cast<uLongf>(rows.size());
    EXPECT_EQ(uncompress(rows.data(), &size, &png[41], length), Z_OK);
    const uint8_t* p = &rows[static_cast<size_t>(y) * (1 + width * 4) + 1 + x * 4];
    return {p[0], p[1], p[2], p[3]};
}

class ViewerBitmap : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(ViewerBitmap, TopRowFirstAtTheTypesSize) {
    const BitmapCase& c = GetParam();
    constexpr int width = 36, height = 24;  // type 1
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = c.topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = c.bits;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bitmap && bits);
    // The picture's top row red, the rest blue (bytes in blue, green, red order).
    const size_t stride = (static_cast<size_t>(width) * c.bits + 31) / 32 * 4;
    for (int y = 0; y < height; ++y) {
        BYTE* row = static_cast<BYTE*>(bits) + stride * (c.topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            BYTE* p = row + x * (c.bits / 8);
            p[0] = y == 0 ? 0 : 0xFF;
            p[1] = 0;
            p[2] = y == 0 ? 0xFF : 0;
            if (c.bits == 32) p[3] = c.fourthByte;
        }
    }
    const std::optional<LogoRecord> record = RecordFromBitmap(bitmap, 1);
    DeleteObject(bitmap);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->width, 36);
    EXPECT_EQ(record->height, 24);
    EXPECT_EQ(PixelOf(record->data, width, 0, 0), (std::array<uint8_t, 4>{0xFF, 0, 0, c.alpha}));
    EXPECT_EQ(PixelOf(record->data, width, 5, height - 1),
              (std::array<uint8_t, 4>{0, 0, 0xFF, c.alpha}));
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewerBitmap,
                         ::testing::Values(BitmapCase{24, false, 0, 0xFF},
                                           BitmapCase{24, true, 0, 0xFF},
                                           BitmapCase{32, false, 0, 0xFF},  // no alpha in it
                                           BitmapCase{32, true, 0x80, 0x80}));

}  // namespace
