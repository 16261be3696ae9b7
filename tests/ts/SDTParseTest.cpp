#include <gtest/gtest.h>

#include "SDTParse.h"
#include "TsTestUtil.h"

namespace {

using tswriter::LogoTransmissionType1;
using tswriter::LogoTransmissionType2;
using tswriter::LogoTransmissionType3;
using tswriter::Packetizer;
using tswriter::SdtSection;
using tswriter::SdtService;

SDTParse ParseOne(const SdtSection& section) {
    SDTParse sdt;
    PushAll(sdt, Packetizer(tswriter::kSdtPid).OnePerPacket({section.Build()}));
    return sdt;
}

class BothTables : public ::testing::TestWithParam<uint8_t> {};

TEST_P(BothTables, LogoReferencesAndNetworkAreTaken) {
    SdtSection section;
    section.tableId = GetParam();
    section.originalNetworkId = 0x7FE0;
    section.services = {{0x0400, 0, 4, false, LogoTransmissionType1(0x0A, 3, 0x1234)},
                        {0x0401, 0, 4, false, tswriter::ServiceDescriptor(1, "P", "S")}};
    const SDTParse sdt = ParseOne(section);
    EXPECT_EQ(sdt.originalNetworkId, 0x7FE0);
    const std::map<uint16_t, ServiceLogoInfo> expected{{0x0400, {1, 0x0A, 3, 0x1234}}};
    EXPECT_EQ(sdt.services, expected);
}

INSTANTIATE_TEST_SUITE_P(ActualAndOther, BothTables,
                         ::testing::Values(tswriter::kSdtActual, tswriter::kSdtOther));

TEST(SDTParse, OtherTablesOnThePidAreNotParsed) {
    SdtSection section;
    section.tableId = 0x4A;  // bouquet association table
    section.services = {{1, 0, 4, false, LogoTransmissionType1(1, 1, 1)}};
    EXPECT_TRUE(ParseOne(section).services.empty());
}

TEST(SDTParse, ReservedBitsAreMasked) {
    // The writer sends every reserved bit as 1, and a running service with free_CA_mode set
    // fills the top nibble of descriptors_loop_length's first byte.
    SdtSection section;
    section.services = {{0x10, 0x1F, 7, true, LogoTransmissionType1(0x1FF, 0xFFF, 0xFFFF)},
                        {0x11, 0x1F, 7, true, LogoTransmissionType1(0x001, 0x001, 0x0001)},
                        {0x12, 0x1F, 7, true, LogoTransmissionType2(0x100)}};
    const std::map<uint16_t, ServiceLogoInfo> expected{{0x10, {1, 0x1FF, 0xFFF, 0xFFFF}},
                                                       {0x11, {1, 0x001, 0x001, 0x0001}},
                                                       {0x12, {2, 0x100, 0, 0}}};
    EXPECT_EQ(ParseOne(section).services, expected);
}

// Service loops and the entries they must give.
struct LoopCase {
    const char* name;
    std::vector<SdtService> services;
    std::map<uint16_t, ServiceLogoInfo> expected;

    friend void PrintTo(const LoopCase& c, std::ostream* os) { *os << c.name; }
};

class ServiceLoop : public ::testing::TestWithParam<LoopCase> {};

TEST_P(ServiceLoop, GivesTheExpectedEntries) {
    SdtSection section;
    section.services = GetParam().services;
    EXPECT_EQ(ParseOne(section).services, GetParam().expected);
}

SdtService Service(uint16_t id, Bytes descriptors) {
    return {id, 0, 4, false, descriptors};
}

// A type 1 descriptor whose descriptor_length claims more than its fixed size.
Bytes Type1WithLength(uint8_t length, uint16_t logoId) {
    Bytes d = LogoTransmissionType1(logoId, 2, 0x22);
    d[1] = length;
    return d;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ServiceLoop,
    ::testing::Values(
        LoopCase{"NoLogoDescriptor", {Service(1, tswriter::ServiceDescriptor(1, "a", "b"))}, {}},
        LoopCase{"Type3", {Service(1, LogoTransmissionType3("ABC"))}, {{1, {3, 0, 0, 0}}}},
        LoopCase{"UnknownTypeIsSkipped",
                 {Service(1, Join({tswriter::Descriptor(0xCF, {4, 0xFE, 0x01}),
                                   LogoTransmissionType3("")}))},
                 {{1, {3, 0, 0, 0}}}},
        LoopCase{"LaterDescriptorWins",
                 {Service(1, Join({LogoTransmissionType1(5, 1, 7), LogoTransmissionType3("x"),
                                   LogoTransmissionType1(6, 2, 8)}))},
                 {{1, {1, 6, 2, 8}}}},
        LoopCase{"OtherDescriptorsAroundAreSkipped",
                 {Service(1, Join({tswriter::ServiceDescriptor(1, "prov", "name"),
                                   LogoTransmissionType1(5, 1, 7),
                                   tswriter::Descriptor(0xC1, {1, 2, 3})}))},
                 {{1, {1, 5, 1, 7}}}},
        LoopCase{"Type1AdvancesByItsFixedSize",
                 // The length byte says 0x20, yet the next descriptor starts 9 bytes on.
                 {Service(1, Join({Type1WithLength(0x20, 5), LogoTransmissionType1(6, 3, 9)}))},
                 {{1, {1, 6, 3, 9}}}},
        LoopCase{
            "Type2TakesEarlierType1",
            {Service(1, LogoTransmissionType1(5, 9, 0x77)), Service(2, LogoTransmissionType2(5))},
            {{1, {1, 5, 9, 0x77}}, {2, {2, 5, 9, 0x77}}}},
        LoopCase{
            "Type2BeforeItsType1GetsZero",
            {Service(2, LogoTransmissionType2(5)), Service(1, LogoTransmissionType1(5, 9, 0x77))},
            {{1, {1, 5, 9, 0x77}}, {2, {2, 5, 0, 0}}}},
        LoopCase{
            "Type2WithoutMatchingLogoIdGetsZero",
            {Service(1, LogoTransmissionType1(5, 9, 0x77)), Service(2, LogoTransmissionType2(6))},
            {{1, {1, 5, 9, 0x77}}, {2, {2, 6, 0, 0}}}},
        LoopCase{"Type2TakesLowestServiceIdAmongType1",
                 {Service(0x30, LogoTransmissionType1(5, 1, 0x31)),
                  Service(0x10, LogoTransmissionType1(5, 2, 0x11)),
                  Service(0x20, LogoTransmissionType2(5))},
                 {{0x30, {1, 5, 1, 0x31}}, {0x10, {1, 5, 2, 0x11}}, {0x20, {2, 5, 2, 0x11}}}},
        LoopCase{"Type2IgnoresType2Entries",
                 {Service(1, LogoTransmissionType2(5)), Service(2, LogoTransmissionType2(5))},
                 {{1, {2, 5, 0, 0}}, {2, {2, 5, 0, 0}}}}),
    CaseName<LoopCase>);

// Sections of two networks in one push: each is seen on its own, the type 2 entry of the second
// finds no type 1 entry of the first, and the last one stays after the push.
TEST(SDTParse, EachSectionOfAPushIsSeenOnItsOwn) {
    SdtSection first;
    first.originalNetworkId = 1;
    first.services = {Service(1, LogoTransmissionType1(5, 9, 0x77)),
                      // pads the section past one packet
                      Service(3, tswriter::Descriptor(0xC1, Bytes(198, 0)))};
    SdtSection second;
    second.tableId = tswriter::kSdtOther;
    second.originalNetworkId = 2;
    second.services = {Service(4, LogoTransmissionType2(5))};
    const auto packets =
        SplitPackets(Packetizer(tswriter::kSdtPid).BackToBack({first.Build(), second.Build()}));
    ASSERT_EQ(packets.size(), 2u);
    using Seen = std::pair<uint16_t, std::map<uint16_t, ServiceLogoInfo>>;
    std::vector<Seen> seen;
    SDTParse sdt;
    for (const Bytes& packet : packets) {
        sdt.PushPacket(packet.data(), packet.data() + packet.size(),
                       [&] { seen.emplace_back(sdt.originalNetworkId, sdt.services); });
    }
    const Seen last{2, {{4, {2, 5, 0, 0}}}};
    EXPECT_EQ(seen, (std::vector<Seen>{{1, {{1, {1, 5, 9, 0x77}}}}, last}));
    EXPECT_EQ(Seen(sdt.originalNetworkId, sdt.services), last);
}

TEST(SDTParse, EveryPushStartsWithNoServices) {
    SdtSection section;
    section.services = {Service(1, LogoTransmissionType1(5, 9, 0x77))};
    Packetizer packetizer(tswriter::kSdtPid);
    SDTParse sdt;
    PushAll(sdt, packetizer.OnePerPacket({section.Build()}));
    ASSERT_EQ(sdt.services.size(), 1u);
    // A type 2 entry never sees the type 1 entry of an earlier push.
    section.services = {Service(2, LogoTransmissionType2(5))};
    PushAll(sdt, packetizer.OnePerPacket({section.Build()}));
    const std::map<uint16_t, ServiceLogoInfo> expected{{2, {2, 5, 0, 0}}};
    EXPECT_EQ(sdt.services, expected);
    Push(sdt, packetizer.Packet(false, {}));
    EXPECT_TRUE(sdt.services.empty());
}

TEST(SDTParse, ResetDropsServicesAndThePartialSection) {
    SdtSection section;
    section.services = {Service(1, LogoTransmissionType1(5, 9, 0x77)),
                        Service(2, tswriter::Descriptor(0xC1, Bytes(250, 0)))};
    const auto packets = SplitPackets(
        Packetizer(tswriter::kSdtPid)
            .OnePerPacket({SdtSection{.services = {Service(3, LogoTransmissionType3(""))}}.Build(),
                           section.Build()}));
    ASSERT_EQ(packets.size(), 3u);
    SDTParse sdt;
    Push(sdt, packets[0]);
    ASSERT_FALSE(sdt.services.empty());
    sdt.Reset();
    EXPECT_TRUE(sdt.services.empty());
    Push(sdt, packets[1]);
    sdt.Reset();
    EXPECT_TRUE(sdt.buffer.empty());
    Push(sdt, packets[2]);
    EXPECT_TRUE(sdt.services.empty());
}

}  // namespace
