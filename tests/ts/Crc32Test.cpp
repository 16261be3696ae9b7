#include <gtest/gtest.h>

#include <string_view>

#include "Crc32.h"
#include "TsTestUtil.h"

namespace {

const uint8_t* Bytes8(std::string_view text) {
    return reinterpret_cast<const uint8_t*>(text.data());
}

TEST(Crc32, CheckValueOfCrc32Mpeg2) {
    const std::string_view check = "123456789";
    EXPECT_EQ(Crc32(Bytes8(check), Bytes8(check) + check.size(), 0xFFFFFFFFu), 0x0376E6E7u);
}

TEST(Crc32, EmptyRangeGivesTheInitialValue) {
    const uint8_t byte = 0;
    EXPECT_EQ(Crc32(&byte, &byte, 0x12345678u), 0x12345678u);
}

TEST(Crc32, ContinuesFromAnEarlierValue) {
    const Bytes data = TestSection(0xC8, 1000);
    const uint32_t whole = Crc32(data.data(), data.data() + data.size(), 0xFFFFFFFFu);
    const uint32_t head = Crc32(data.data(), data.data() + 333, 0xFFFFFFFFu);
    EXPECT_EQ(Crc32(data.data() + 333, data.data() + data.size(), head), whole);
}

TEST(Crc32, SectionWithItsOwnCrcGivesZero) {
    for (size_t size : {0u, 1u, 183u, 4000u}) {
        const Bytes section = TestSection(0x42, size, static_cast<uint8_t>(size));
        EXPECT_EQ(Crc32(section.data(), section.data() + section.size(), 0xFFFFFFFFu), 0u);
    }
}

}  // namespace
