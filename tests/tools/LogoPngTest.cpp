#include <gtest/gtest.h>
#include <zlib.h>

#include <stdexcept>

#include "LogoPng.h"
#include "PaletteChunk.h"
#include "PngDecode.h"

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
    bool crcOk;
};

std::vector<Chunk> Chunks(const std::vector<uint8_t>& png) {
    std::vector<Chunk> chunks;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = U32(png, at);
        Chunk chunk{std::string(png.begin() + at + 4, png.begin() + at + 8),
                    std::vector<uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length),
                    false};
        const uLong crc = crc32(0L, png.data() + at + 4, length + 4);
        chunk.crcOk = crc == U32(png, at + 8 + length);
        chunks.push_back(chunk);
        at += 12 + length;
    }
    return chunks;
}

LogoRecord Record(std::vector<uint8_t> png) {
    LogoRecord record;
    record.data = std::move(png);
    return record;
}

// A pattern that uses every index a depth allows, in rows of different phases.
PixelIndex Stripes(int bitDepth) {
    return [bitDepth](int x, int y) { return static_cast<uint8_t>((x + 3 * y) % (1 << bitDepth)); };
}

class LogoPngDepth : public ::testing::TestWithParam<int> {};

TEST_P(LogoPngDepth, IsIndexedWithoutPaletteAsBroadcast) {
    const int depth = GetParam();
    const std::vector<uint8_t> png = WriteLogoPng(37, 5, Stripes(depth), depth);
    const std::vector<uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8), signature);

    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    for (const Chunk& chunk : chunks) EXPECT_TRUE(chunk.crcOk) << chunk.type;
    const std::vector<uint8_t>& ihdr = chunks[0].data;
    ASSERT_EQ(ihdr.size(), 13u);
    EXPECT_EQ(U32(ihdr, 0), 37u);
    EXPECT_EQ(U32(ihdr, 4), 5u);
    EXPECT_EQ(ihdr[8], depth);
    EXPECT_EQ(ihdr[9], 3);  // indexed colour
    // The palette goes right behind IHDR, where InsertPalette puts it.
    EXPECT_EQ(8 + 12 + ihdr.size(), kPaletteOffset);
}

TEST_P(LogoPngDepth, DecodesToThePaletteColoursOnceThePaletteIsInserted) {
    const int depth = GetParam();
    const PixelIndex pixel = Stripes(depth);
    const DecodedPng decoded = DecodePng(InsertPalette(Record(WriteLogoPng(37, 5, pixel, depth))));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    ASSERT_EQ(decoded.width, 37);
    ASSERT_EQ(decoded.height, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 37; ++x) {
            const size_t entry = 8 + 3 * size_t{pixel(x, y)};
            const size_t at = 3 * (static_cast<size_t>(y) * 37 + x);
            ASSERT_EQ(decoded.rgb[at], PALETTE_CHUNK[entry]) << x << "," << y;
            ASSERT_EQ(decoded.rgb[at + 1], PALETTE_CHUNK[entry + 1]) << x << "," << y;
            ASSERT_EQ(decoded.rgb[at + 2], PALETTE_CHUNK[entry + 2]) << x << "," << y;
        }
    }
}

TEST_P(LogoPngDepth, IsRefusedByADecoderWithoutThePalette) {
    const int depth = GetParam();
    const DecodedPng decoded = DecodePng(WriteLogoPng(37, 5, Stripes(depth), depth));
    EXPECT_FALSE(decoded.ok);
}

INSTANTIATE_TEST_SUITE_P(Depths, LogoPngDepth, ::testing::Values(1, 2, 4, 8));

TEST(LogoPng, RefusesWhatPngCannotHold) {
    const PixelIndex zero = [](int, int) -> uint8_t { return 0; };
    EXPECT_THROW(WriteLogoPng(0, 5, zero), std::invalid_argument);
    EXPECT_THROW(WriteLogoPng(5, 0, zero), std::invalid_argument);
    EXPECT_THROW(WriteLogoPng(65536, 1, zero), std::invalid_argument);
    EXPECT_THROW(WriteLogoPng(5, 5, zero, 3), std::invalid_argument);
    EXPECT_THROW(WriteLogoPng(
                     5, 5, [](int, int) -> uint8_t { return 16; }, 4),
                 std::invalid_argument);
}

TEST(LabelPattern, DrawsTheTextInsideTheFrame) {
    // "1" in the 3x5 font is 010/110/010/010/111; 7 x 9 leaves scale 1 centred at (2, 2).
    const PixelIndex pixel = LabelPattern("1", 7, 9, 4, 7, 3);
    const char* rows[] = {"3333333", "3444443", "3447443", "3477443", "3447443",
                          "3447443", "3477743", "3444443", "3333333"};
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(pixel(x, y), rows[y][x] - '0') << x << "," << y;
        }
    }
}

}  // namespace
