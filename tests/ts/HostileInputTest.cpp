#include <gtest/gtest.h>

#include <memory>

#include "ByteReader.h"
#include "CDTParse.h"
#include "RecordingParse.h"
#include "SDTParse.h"
#include "TsTestUtil.h"

// Damaged and hostile input: every read must stay inside the packet and the assembled section
// (checked by the asan preset), and what is damaged must yield nothing.
namespace {

using tswriter::Packetizer;

Bytes Section(uint8_t tableId, const Bytes& body) {
    return tswriter::LongSection({tableId, 1, 0, true, 0, 0}, body);
}

struct SdtCase {
    const char* name;
    Bytes body;  // everything after last_section_number
    std::map<uint16_t, ServiceLogoInfo> expected;
    uint16_t networkId;  // 0xAAAA: left as it was

    friend void PrintTo(const SdtCase& c, std::ostream* os) { *os << c.name; }
};

class HostileSdt : public ::testing::TestWithParam<SdtCase> {};

TEST_P(HostileSdt, StopsAtTheDamageKeepingWhatCameBefore) {
    SDTParse sdt;
    sdt.originalNetworkId = 0xAAAA;
    PushAll(sdt, Packetizer(0x11).OnePerPacket({Section(0x42, GetParam().body)}));
    EXPECT_EQ(sdt.services, GetParam().expected);
    EXPECT_EQ(sdt.originalNetworkId, GetParam().networkId);
    EXPECT_TRUE(sdt.buffer.empty());
}

const Bytes kHead{0x12, 0x34, 0xFF};                    // original_network_id, reserved
const Bytes kGoodService{0x00, 0x01, 0xFF, 0xF0, 0x09,  // service 1, 9 descriptor bytes
                         0xCF, 0x07, 0x01, 0xFE, 0x05, 0xF0, 0x02, 0x00, 0x33};

// Service 2 with a descriptor loop of `loopLength` bytes holding `descriptors`.
Bytes Service2(uint8_t loopLength, const Bytes& descriptors) {
    return Join({{0x00, 0x02, 0xFF, 0xF0, loopLength}, descriptors});
}

const ServiceLogoInfo kGood{1, 5, 2, 0x33};

INSTANTIATE_TEST_SUITE_P(
    Sections, HostileSdt,
    ::testing::Values(
        SdtCase{"NoNetworkId", {}, {}, 0xAAAA}, SdtCase{"NoReservedByte", {0x12, 0x34}, {}, 0xAAAA},
        SdtCase{"NoServices", kHead, {}, 0x1234},
        SdtCase{"ServiceEntryCut", Join({kHead, {0x00, 0x01, 0xFF, 0xF0}}), {}, 0x1234},
        SdtCase{"LoopPastSection",
                Join({kHead, kGoodService, Service2(100, {0xCF, 0x07, 0x01})}),
                {{1, kGood}},
                0x1234},
        SdtCase{"DescriptorPastLoop",
                Join({kHead, Service2(5, {0xC1, 0x0A, 0, 0, 0}), kGoodService}),
                {},
                0x1234},
        SdtCase{"Type1PastLoop",
                Join({kHead, kGoodService, Service2(6, {0xCF, 0x07, 0x01, 0xFE, 0x06, 0xF0}),
                      kGoodService}),
                {{1, kGood}},
                0x1234},
        SdtCase{"Type2PastLoop",
                Join({kHead, Service2(4, {0xCF, 0x03, 0x02, 0xFE}), {0x01}}),
                {},
                0x1234},
        SdtCase{"LogoDescriptorWithoutTypeAtLoopEnd",
                Join({kHead, Service2(2, {0xCF, 0x00})}),
                {},
                0x1234},
        SdtCase{"Type1FillsLoopExactly", Join({kHead, kGoodService}), {{1, kGood}}, 0x1234}),
    CaseName<SdtCase>);

struct CdtCase {
    const char* name;
    Bytes body;  // everything after last_section_number
    bool yields;

    friend void PrintTo(const CdtCase& c, std::ostream* os) { *os << c.name; }
};

class HostileCdt : public ::testing::TestWithParam<CdtCase> {};

TEST_P(HostileCdt, DropsSectionsWhoseLogoRunsIntoTheCrc) {
    CDTParse cdt;
    cdt.downloadDataId = 0xBEEF;
    PushAll(cdt, Packetizer(0x29).OnePerPacket({Section(0xC8, GetParam().body)}));
    EXPECT_EQ(!cdt.logo.data.empty(), GetParam().yields);
    EXPECT_EQ(cdt.downloadDataId, GetParam().yields ? 1 : 0xBEEF);
}

// original_network_id, data_type, descriptors_loop_length, logo_type, logo_id, logo_version.
Bytes CdtHead(uint8_t loopLength) {
    return {0x00, 0x04, 0x01, 0xF0, loopLength, 0x05, 0xFE, 0x01, 0xF0, 0x01};
}

INSTANTIATE_TEST_SUITE_P(
    Sections, HostileCdt,
    ::testing::Values(CdtCase{"DataFitsExactly", Join({CdtHead(0), {0x00, 0x03, 1, 2, 3}}), true},
                      CdtCase{"DataOneByteIntoCrc", Join({CdtHead(0), {0x00, 0x04, 1, 2, 3}}),
                              false},
                      CdtCase{"DataSizeLargest", Join({CdtHead(0), {0xFF, 0xFF, 1, 2, 3}}), false},
                      CdtCase{"DescriptorsIntoCrc", Join({CdtHead(20), {0x00, 0x01, 1}}), false},
                      CdtCase{"DataSizeCut", Join({CdtHead(0), {0x00}}), false},
                      CdtCase{"LogoFieldsCut", {0x00, 0x04, 0x01, 0xF0, 0x00, 0x05, 0xFE}, false},
                      CdtCase{"EndsBeforeDataType", {0x00, 0x04}, false},
                      CdtCase{"EndsAtDataType", {0x00, 0x04, 0x01}, false}),
    CaseName<CdtCase>);

// pointer_field values that point past the packet: the packet is dropped, and so is a section
// in progress, which cannot be completed from it.
class PointerPastPacket : public ::testing::TestWithParam<uint8_t> {};

TEST_P(PointerPastPacket, DropsThePacketAndTheSectionInProgress) {
    // Long enough that the damaged packet's pointer would point inside the section's tail.
    const Bytes section = TestSection(RecordingParse::kTable, 600);
    const auto packets = SplitPackets(Packetizer(0x11).OnePerPacket({section, section}));
    ASSERT_EQ(packets.size(), 8u);
    Bytes damaged = packets[1];
    damaged[1] |= 0x40;
    damaged[4] = GetParam();
    RecordingParse parser;
    Push(parser, packets[0]);
    Push(parser, damaged);
    EXPECT_TRUE(parser.buffer.empty());
    for (size_t i = 2; i < packets.size(); ++i) Push(parser, packets[i]);
    ASSERT_EQ(parser.parsed.size(), 1u);
    EXPECT_EQ(parser.parsed[0], section);
}

INSTANTIATE_TEST_SUITE_P(Pointers, PointerPastPacket, ::testing::Values(184, 185, 200, 255));

TEST(PointerField, LargestValidPointerClosesTheSectionInProgress) {
    // 183 section bytes in the first packet, the last 183 after the second one's pointer_field.
    const Bytes section = TestSection(RecordingParse::kTable, 366 - 12);
    Packetizer packetizer(0x11);
    RecordingParse parser;
    Push(parser,
         packetizer.Packet(true, Join({{0x00}, Bytes(section.begin(), section.begin() + 183)})));
    Push(parser,
         packetizer.Packet(true, Join({{183}, Bytes(section.begin() + 183, section.end())})));
    ASSERT_EQ(parser.parsed.size(), 1u);
    EXPECT_EQ(parser.parsed[0], section);
}

class ShortPacket : public ::testing::TestWithParam<size_t> {};

TEST_P(ShortPacket, IsDroppedWithoutReadingPastItsEnd) {
    const auto packet = std::make_unique<uint8_t[]>(GetParam() + 1);
    for (size_t i = 0; i < GetParam(); ++i) packet[i] = 0x40;  // payload_unit_start everywhere
    SDTParse sdt;
    CDTParse cdt;
    sdt.PushPacket(packet.get(), packet.get() + GetParam());
    cdt.PushPacket(packet.get(), packet.get() + GetParam());
    EXPECT_TRUE(sdt.buffer.empty());
    EXPECT_TRUE(cdt.buffer.empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, ShortPacket, ::testing::Values(0, 1, 2, 4));

TEST(ByteReader, ReadsPastTheEndYieldZeroAndFailForGood) {
    const Bytes data{0x12, 0x34, 0x56};
    ByteReader reader(data.data(), data.size());
    EXPECT_EQ(reader.U16(), 0x1234);
    EXPECT_EQ(reader.U16(), 0);
    EXPECT_FALSE(reader.Ok());
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.U8(), 0);  // the byte that was left is not read after a failure
}

TEST(ByteReader, SubReaderStaysWithinItsBytes) {
    const Bytes data{1, 2, 3, 4, 5};
    ByteReader reader(data.data(), data.size());
    ByteReader sub = reader.Sub(2);
    EXPECT_EQ(reader.U8(), 3);
    EXPECT_EQ(sub.U16(), 0x0102);
    EXPECT_TRUE(sub.AtEnd());
    sub.Skip(1);
    EXPECT_FALSE(sub.Ok());
    EXPECT_TRUE(reader.Ok());
    ByteReader tooLong = reader.Sub(3);
    EXPECT_FALSE(reader.Ok());
    EXPECT_FALSE(tooLong.Ok());
    EXPECT_EQ(tooLong.PeekU8(), 0);
}

}  // namespace
