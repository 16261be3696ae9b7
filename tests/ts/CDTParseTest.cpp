#include <gtest/gtest.h>

#include "CDTParse.h"
#include "TsTestUtil.h"

namespace {

using tswriter::CdtLogoSection;
using tswriter::Packetizer;

Bytes Png(size_t size, uint8_t seed) {
    Bytes png(size);
    for (size_t i = 0; i < size; ++i) png[i] = static_cast<uint8_t>(seed + i * 7);
    return png;
}

CdtLogoSection Logo(uint16_t logoId, uint16_t version, uint8_t type, Bytes data) {
    CdtLogoSection section;
    section.downloadDataId = 0x0123;
    section.originalNetworkId = 0x0004;
    section.logoId = logoId;
    section.logoVersion = version;
    section.logoType = type;
    section.data = std::move(data);
    return section;
}

struct LogoCase {
    const char* name;
    CdtLogoSection section;
    int32_t width;
    int32_t height;

    friend void PrintTo(const LogoCase& c, std::ostream* os) { *os << c.name; }
};

class LogoSection : public ::testing::TestWithParam<LogoCase> {};

TEST_P(LogoSection, YieldsTheLogoWithItsIdsAndSize) {
    const CdtLogoSection& section = GetParam().section;
    CDTParse cdt;
    PushAll(cdt, Packetizer(tswriter::kCdtPid).OnePerPacket({section.Build()}));
    EXPECT_EQ(cdt.downloadDataId, section.downloadDataId);
    EXPECT_EQ(cdt.logo.originalNetworkId, section.originalNetworkId);
    EXPECT_EQ(cdt.logo.logoId, section.logoId);
    EXPECT_EQ(cdt.logo.logoVersion, section.logoVersion);
    EXPECT_EQ(cdt.logo.logoType, section.logoType);
    EXPECT_EQ(cdt.logo.data, section.data);
    EXPECT_EQ(cdt.logo.width, GetParam().width);
    EXPECT_EQ(cdt.logo.height, GetParam().height);
}

CdtLogoSection WithDescriptors() {
    CdtLogoSection section = Logo(0x0A, 2, 3, Png(300, 3));
    section.descriptors = tswriter::Descriptor(0xC1, Bytes(20, 0x55));
    return section;
}

INSTANTIATE_TEST_SUITE_P(
    Logos, LogoSection,
    ::testing::Values(LogoCase{"NoDescriptors", Logo(0x0A, 2, 5, Png(600, 1)), 64, 36},
                      LogoCase{"AfterDescriptors", WithDescriptors(), 72, 36},
                      // The writer sends reserved bits as 1: full and minimal values alike.
                      LogoCase{"MaskedFullWidth", Logo(0x1FF, 0xFFF, 0, Png(10, 2)), 48, 24},
                      LogoCase{"MaskedSmall", Logo(0x001, 0x001, 1, Png(10, 2)), 36, 24},
                      LogoCase{"TypeWithoutSize", Logo(0x02, 1, 7, Png(10, 2)), 0, 0},
                      LogoCase{"LargestData", Logo(0x03, 1, 2, Png(4093 - 25, 4)), 48, 27}),
    CaseName<LogoCase>);

TEST(CDTParse, OtherDataTypeIsNotParsed) {
    CdtLogoSection section = Logo(1, 1, 5, Png(50, 1));
    section.dataType = 0x02;
    CDTParse cdt;
    PushAll(cdt, Packetizer(tswriter::kCdtPid).OnePerPacket({section.Build()}));
    EXPECT_TRUE(cdt.logo.data.empty());
    EXPECT_EQ(cdt.logo.logoType, 0xFF);
}

TEST(CDTParse, ZeroDataSizeIsParsedButYieldsNoBytes) {
    CDTParse cdt;
    CdtLogoSection section = Logo(1, 1, 5, {});
    section.downloadDataId = 0x0BAD;
    PushAll(cdt, Packetizer(tswriter::kCdtPid).OnePerPacket({section.Build()}));
    EXPECT_TRUE(cdt.logo.data.empty());
    EXPECT_EQ(cdt.downloadDataId, 0x0BAD);
}

TEST(CDTParse, TwoLogosCompletedByOnePacketLeaveTheSecond) {
    const Bytes first = Logo(1, 1, 5, Png(200, 1)).Build();
    const Bytes second = Logo(2, 3, 4, Png(30, 2)).Build();
    const auto packets = SplitPackets(Packetizer(tswriter::kCdtPid).BackToBack({first, second}));
    ASSERT_EQ(packets.size(), 2u);
    CDTParse cdt;
    Push(cdt, packets[0]);
    EXPECT_TRUE(cdt.logo.data.empty());
    Push(cdt, packets[1]);
    EXPECT_EQ(cdt.logo.logoId, 2);
    EXPECT_EQ(cdt.logo.logoVersion, 3);
    EXPECT_EQ(cdt.logo.data, Png(30, 2));
}

TEST(CDTParse, RepeatedLogoIsYieldedEachTimeAndNotCarriedOver) {
    const Bytes section = Logo(1, 1, 5, Png(100, 1)).Build();
    Packetizer packetizer(tswriter::kCdtPid);
    CDTParse cdt;
    for (int i = 0; i < 3; ++i) {
        PushAll(cdt, packetizer.OnePerPacket({section}));
        EXPECT_EQ(cdt.logo.data, Png(100, 1));
        Push(cdt, packetizer.Packet(false, {}));
        EXPECT_TRUE(cdt.logo.data.empty());
        EXPECT_EQ(cdt.logo.logoType, 0xFF);
    }
}

TEST(CDTParse, ResetClearsTheLogo) {
    CDTParse cdt;
    PushAll(cdt, Packetizer(tswriter::kCdtPid).OnePerPacket({Logo(1, 1, 5, Png(10, 1)).Build()}));
    ASSERT_FALSE(cdt.logo.data.empty());
    cdt.Reset();
    EXPECT_TRUE(cdt.logo.data.empty());
    EXPECT_EQ(cdt.logo.logoType, 0xFF);
    EXPECT_EQ(cdt.logo.logoId, 1);  // ids stay, as a cleared record keeps them
}

}  // namespace
