#include <gtest/gtest.h>

#include <algorithm>
#include <boost/crc.hpp>
#include <cstdint>
#include <string>
#include <vector>

#include "PaletteChunk.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A PNG chunk with its length and CRC, as a decoder checks them.
void PutBigEndian(Bytes& out, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(value >> (24 - 8 * i));
}

// Sized up front: GCC 12 at -O2 misreads growing inserts into a small vector as overflows.
Bytes Chunk(const std::string& type, const Bytes& data) {
    Bytes out(4 + 4 + data.size() + 4);
    PutBigEndian(out, 0, static_cast<uint32_t>(data.size()));
    std::copy(type.begin(), type.end(), out.begin() + 4);
    std::copy(data.begin(), data.end(), out.begin() + 8);
    boost::crc_32_type crc;
    crc.process_bytes(out.data() + 4, 4 + data.size());
    PutBigEndian(out, 8 + data.size(), crc.checksum());
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

const Bytes kSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
const Bytes kIhdr = Chunk("IHDR", {0, 0, 0, 48, 0, 0, 0, 24, 8, 3, 0, 0, 0});
const Bytes kPaletteBytes(PALETTE_CHUNK.begin(), PALETTE_CHUNK.end());

LogoRecord WithData(Bytes data) {
    LogoRecord logo;
    logo.data = std::move(data);
    return logo;
}

std::array<uint8_t, 3> Entry(std::size_t index) {
    return {PALETTE_CHUNK[8 + index * 3], PALETTE_CHUNK[9 + index * 3],
            PALETTE_CHUNK[10 + index * 3]};
}

TEST(PaletteChunk, IsAPlteChunkWhoseCrcMatchesItsContent) {
    ASSERT_EQ(PALETTE_CHUNK.size(), 396u);
    EXPECT_EQ(Bytes(PALETTE_CHUNK.begin(), PALETTE_CHUNK.begin() + 8),
              (Bytes{0x00, 0x00, 0x01, 0x80, 'P', 'L', 'T', 'E'}));
    boost::crc_32_type crc;
    crc.process_bytes(PALETTE_CHUNK.data() + 4, 4 + 384);
    EXPECT_EQ(crc.checksum(), 0x91FB1FA7u);
    EXPECT_EQ(Bytes(PALETTE_CHUNK.end() - 4, PALETTE_CHUNK.end()), (Bytes{0x91, 0xFB, 0x1F, 0xA7}));
}

struct EntryCase {
    std::size_t index;
    std::array<uint8_t, 3> rgb;
};

class PaletteEntries : public ::testing::TestWithParam<EntryCase> {};

TEST_P(PaletteEntries, HoldTheFixedColourTable) {
    EXPECT_EQ(Entry(GetParam().index), GetParam().rgb) << "entry " << GetParam().index;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PaletteEntries,
    ::testing::Values(EntryCase{0, {0, 0, 0}}, EntryCase{1, {0xFF, 0, 0}},
                      EntryCase{6, {0, 0xFF, 0xFF}}, EntryCase{7, {0xFF, 0xFF, 0xFF}},
                      EntryCase{8, {0, 0, 0}}, EntryCase{9, {0xAA, 0, 0}},
                      EntryCase{15, {0xAA, 0xAA, 0xAA}}, EntryCase{16, {0, 0, 0x55}},
                      EntryCase{20, {0, 0x55, 0xFF}}, EntryCase{24, {0, 0xFF, 0xAA}},
                      EntryCase{25, {0x55, 0, 0}}, EntryCase{63, {0xFF, 0xFF, 0x55}},
                      EntryCase{64, {0xFF, 0xFF, 0xAA}}, EntryCase{65, {0, 0, 0}},
                      EntryCase{72, {0xFF, 0xFF, 0xFF}}, EntryCase{73, {0xAA, 0, 0}},
                      EntryCase{127, {0xFF, 0xFF, 0x55}}));

TEST(InsertPalette, PutsTheChunkBehindIhdrAndKeepsEveryOtherChunk) {
    const Bytes idat = Chunk("IDAT", {0x78, 0x9C, 0x01, 0x02, 0x03});
    const Bytes iend = Chunk("IEND", {});
    const LogoRecord logo = WithData(Concat({kSignature, kIhdr, idat, iend}));
    const Bytes before = logo.data;

    EXPECT_EQ(InsertPalette(logo), Concat({kSignature, kIhdr, kPaletteBytes, idat, iend}));
    EXPECT_EQ(logo.data, before);
}

TEST(InsertPalette, SignatureAndIhdrAloneGainTheChunkAtTheEnd) {
    const Bytes completed = InsertPalette(WithData(Concat({kSignature, kIhdr})));
    EXPECT_EQ(completed.size(), 429u);
    EXPECT_EQ(completed, Concat({kSignature, kIhdr, kPaletteBytes}));
}

TEST(InsertPalette, AnExistingPaletteIsKeptAlone) {
    const Bytes own = Concat({kSignature, kIhdr, Chunk("PLTE", {1, 2, 3})});
    EXPECT_EQ(InsertPalette(WithData(own)), own);
}

class ShortInput : public ::testing::TestWithParam<std::size_t> {};

// Too short to hold a signature and IHDR: nothing to insert into, so no texture.
TEST_P(ShortInput, YieldsNoBytes) {
    const Bytes prefix = Concat({kSignature, kIhdr});
    EXPECT_TRUE(
        InsertPalette(WithData(Bytes(prefix.begin(), prefix.begin() + GetParam()))).empty());
}

INSTANTIATE_TEST_SUITE_P(Lengths, ShortInput, ::testing::Values(0u, 1u, 8u, 32u));

}  // namespace
