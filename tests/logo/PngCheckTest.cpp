#include <gtest/gtest.h>

#include "LogoStore.h"
#include "support/LogoFiles.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WithChunk(Bytes bytes, const Bytes& data) {
    logo_files::AppendChunk(bytes, "tEXt", data);
    return bytes;
}

Bytes Appended(Bytes bytes, const Bytes& tail) {
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

// Flips the lowest bit of the byte `fromEnd` bytes before the end (1 is the last byte). The
// bound is checked: unchecked, the index would wrap round for a short input, and GCC 12's
// release build sees that path and reports a write before the buffer.
Bytes FlipByte(Bytes bytes, size_t fromEnd) {
    if (fromEnd == 0 || fromEnd > bytes.size()) {
        ADD_FAILURE() << "no byte " << fromEnd << " from the end of " << bytes.size();
        return bytes;
    }
    bytes[bytes.size() - fromEnd] ^= 0x01;
    return bytes;
}

struct PngCase {
    const char* what;
    Bytes bytes;
    bool wellFormed;
};

void PrintTo(const PngCase& c, std::ostream* out) {
    *out << c.what;
}

class PngCheck : public ::testing::TestWithParam<PngCase> {};

TEST_P(PngCheck, AcceptsSignatureThenWholeChunksWithCorrectCrc) {
    EXPECT_EQ(LogoStore::IsWellFormedPng(GetParam().bytes), GetParam().wellFormed)
        << GetParam().what;
}

const Bytes kSignature = logo_files::Signature();
const Bytes kLogo = logo_files::MakePng(200);

INSTANTIATE_TEST_SUITE_P(
    Table, PngCheck,
    ::testing::Values(
        PngCase{"empty", {}, false},
        PngCase{"seven signature bytes", Bytes(kSignature.begin(), kSignature.end() - 1), false},
        PngCase{"signature alone", kSignature, true},
        PngCase{"wrong signature", FlipByte(kSignature, 8), false}, PngCase{"logo", kLogo, true},
        PngCase{"empty chunk", WithChunk(kLogo, {}), true},
        PngCase{"chunk before IHDR",
                Appended(WithChunk(kSignature, {}), Bytes(kLogo.begin() + 8, kLogo.end())), false},
        PngCase{"wrong stored crc", FlipByte(kLogo, 1), false},
        PngCase{"changed chunk data", FlipByte(kLogo, 20), false},
        PngCase{"one trailing byte", Appended(kLogo, {0}), false},
        PngCase{"three trailing bytes", Appended(kLogo, {0, 0, 0}), false},
        PngCase{"length without type", Appended(kLogo, {0, 0, 0, 0}), false},
        PngCase{"truncated last chunk", Bytes(kLogo.begin(), kLogo.end() - 1), false},
        PngCase{"length FFFFFFF8",
                Appended(kSignature, {0xFF, 0xFF, 0xFF, 0xF8, 'a', 'b', 'c', 'd'}), false},
        PngCase{"length FFFFFFFF", Appended(kSignature, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}),
                false},
        PngCase{"length one past the end", Appended(kSignature, {0, 0, 0, 1, 't', 'E', 'X', 't'}),
                false}));

}  // namespace
