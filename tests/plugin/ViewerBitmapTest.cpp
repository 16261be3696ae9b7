// The viewer's logo bitmaps as the overlay draws them: the pixels of the DIB section, top row
// first, in a PNG of the logo type's size.

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstring>
#include <utility>
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
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, c.topDown ? -height : height, 1, c.bits,
                           BI_RGB, 0, 0, 0, 0, 0},
                          {}};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bitmap && bits);
    // The picture's top row red, the rest blue (bytes in blue, green, red order).
    const size_t stride = (static_cast<size_t>(width) * c.bits + 31) / 32 * 4;
    for (int y = 0; y < height; ++y) {
        BYTE* row = static_cast<BYTE*>(bits) + stride * (c.topDown ? y : height - 1 - y);
        const uint32_t pixel = (y == 0 ? 0xFF0000u : 0xFFu) | uint32_t{c.fourthByte} << 24;
        for (int x = 0; x < width; ++x) std::memcpy(row + x * (c.bits / 8), &pixel, c.bits / 8);
    }
    const std::optional<LogoRecord> record = RecordFromBitmap(bitmap, 1);
    DeleteObject(bitmap);
    ASSERT_TRUE(record);
    EXPECT_EQ(std::make_pair(record->width, record->height), std::make_pair(36, 24));
    EXPECT_EQ(PixelOf(record->data, width, 0, 0), (std::array<uint8_t, 4>{0xFF, 0, 0, c.alpha}));
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewerBitmap,
                         ::testing::Values(BitmapCase{24, false, 0, 0xFF},
                                           BitmapCase{24, true, 0, 0xFF},
                                           BitmapCase{32, false, 0, 0xFF},  // no alpha in it
                                           BitmapCase{32, true, 0x80, 0x80}));

}  // namespace
