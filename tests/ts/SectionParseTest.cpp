#include <gtest/gtest.h>

#include "RecordingParse.h"
#include "TsTestUtil.h"

namespace {

using tswriter::FillerPacket;
using tswriter::Packetizer;

constexpr uint8_t kTable = RecordingParse::kTable;

Bytes WithPointer(uint8_t pointer, const Bytes& before, const Bytes& after) {
    return Join({{pointer}, before, after});
}

TEST(SectionAssembly, SectionAcrossPacketsIsParsedWithItsLastPacket) {
    const Bytes section = TestSection(kTable, 500);
    const auto packets = SplitPackets(Packetizer(0x11).OnePerPacket({section}));
    ASSERT_EQ(packets.size(), 3u);
    RecordingParse parser;
    Push(parser, packets[0]);
    Push(parser, packets[1]);
    EXPECT_TRUE(parser.parsed.empty());
    Push(parser, packets[2]);
    ASSERT_EQ(parser.parsed.size(), 1u);
    EXPECT_EQ(parser.parsed[0], section);
    EXPECT_TRUE(parser.buffer.empty());  // the stuffing after it went with the buffer
}

TEST(SectionAssembly, PointerFieldClosesOneSectionAndStartsTheNext) {
    const Bytes first = TestSection(kTable, 292, 1);
    const Bytes second = TestSection(kTable, 292, 2);
    const auto packets = SplitPackets(Packetizer(0x11).BackToBack({first, second}));
    ASSERT_EQ(packets.size(), 4u);
    ASSERT_EQ(packets[1][1] & 0x40, 0x40);
    RecordingParse parser;
    Push(parser, packets[0]);
    Push(parser, packets[1]);
    ASSERT_EQ(parser.parsed.size(), 1u);
    EXPECT_EQ(parser.parsed[0], first);
    EXPECT_FALSE(parser.buffer.empty());
    Push(parser, packets[2]);
    Push(parser, packets[3]);
    ASSERT_EQ(parser.parsed.size(), 2u);
    EXPECT_EQ(parser.parsed[1], second);
}

TEST(SectionAssembly, BytesBeforeThePointerAreDroppedWhenNoSectionIsInProgress) {
    const Bytes section = TestSection(kTable, 40);
    RecordingParse parser;
    Push(parser, Packetizer(0x11).Packet(true, WithPointer(3, {kTable, 0xF0, 0x10}, section)));
    ASSERT_EQ(parser.parsed.size(), 1u);
    EXPECT_EQ(parser.parsed[0], section);
}

// Sections packed back to back: each complete, valid one is parsed, in stream order.
struct PackedCase {
    const char* name;
    Bytes stream;
    std::vector<Bytes> parsed;

    friend void PrintTo(const PackedCase& c, std::ostream* os) { *os << c.name; }
};

PackedCase Packed(const char* name, const std::vector<Bytes>& sections) {
    return {name, Packetizer(0x11).BackToBack(sections), sections};
}

Bytes BadCrc(Bytes section) {
    section[10] ^= 0x01;
    return section;
}

class PackedSections : public ::testing::TestWithParam<PackedCase> {};

TEST_P(PackedSections, AreAllParsedInOrder) {
    RecordingParse parser;
    PushAll(parser, GetParam().stream);
    EXPECT_EQ(parser.parsed, GetParam().parsed);
}

const Bytes kA = TestSection(kTable, 30, 1);
const Bytes kB = TestSection(kTable, 40, 2);
const Bytes kC = TestSection(kTable, 20, 3);

INSTANTIATE_TEST_SUITE_P(
    Streams, PackedSections,
    ::testing::Values(
        Packed("TwoInOnePacket", {kA, kB}), Packed("ThreeInOnePacket", {kA, kB, kC}),
        // 183 bytes fill the first packet after its pointer_field: the next starts a packet.
        Packed("NextStartsInThePacketAfter", {TestSection(kTable, 183 - 12, 4), kA}),
        Packed("AcrossAPacketThenTwoMore", {TestSection(kTable, 300, 5), kA, kB}),
        PackedCase{"RejectedOnesAreSkipped",
                   Packetizer(0x11).BackToBack({BadCrc(kA), TestSection(0x4A, 30), kB}),
                   {kB}},
        PackedCase{"StuffingEndsThePacketsSections",
                   Packetizer(0x11).Packet(true, Join({{0x00}, kA, {0xFF}, kB})),
                   {kA}}),
    CaseName<PackedCase>);

TEST(SectionAssembly, TwoSectionsCompleteInOnePush) {
    // The tail of the first and all of the second follow the pointer's target in one packet.
    const Bytes first = TestSection(kTable, 240, 1);
    const Bytes second = TestSection(kTable, 40, 2);
    const auto packets = SplitPackets(Packetizer(0x11).BackToBack({first, second}));
    ASSERT_EQ(packets.size(), 2u);
    RecordingParse parser;
    Push(parser, packets[0]);
    EXPECT_TRUE(parser.parsed.empty());
    Push(parser, packets[1]);
    ASSERT_EQ(parser.parsed.size(), 2u);
    EXPECT_EQ(parser.parsed[0], first);
    EXPECT_EQ(parser.parsed[1], second);
}

TEST(SectionAssembly, StuffingWhereASectionWouldBeginIsNeverParsed) {
    const Bytes section = TestSection(kTable, 20);
    Packetizer packetizer(0x11);
    RecordingParse parser;
    Push(parser, packetizer.Packet(true, {0x00}));  // pointer to stuffing only
    Push(parser, packetizer.Packet(false, {}));
    EXPECT_TRUE(parser.parsed.empty());
    PushAll(parser, packetizer.OnePerPacket({section}));
    ASSERT_EQ(parser.parsed.size(), 1u);
    EXPECT_EQ(parser.parsed[0], section);
}

TEST(SectionAssembly, PacketsOfASectionWhoseStartWasMissedAreDropped) {
    const Bytes section = TestSection(kTable, 500);
    const auto packets = SplitPackets(Packetizer(0x11).OnePerPacket({section, section}));
    ASSERT_EQ(packets.size(), 6u);
    RecordingParse parser;
    Push(parser, packets[1]);
    Push(parser, packets[2]);
    EXPECT_TRUE(parser.parsed.empty());
    EXPECT_TRUE(parser.buffer.empty());
    for (size_t i = 3; i < packets.size(); ++i) Push(parser, packets[i]);
    EXPECT_EQ(parser.parsed.size(), 1u);
}

TEST(SectionAssembly, RepeatedSectionIsParsedEachTime) {
    const Bytes section = TestSection(kTable, 100);
    RecordingParse parser;
    PushAll(parser, Packetizer(0x11).OnePerPacket({section, section, section}));
    EXPECT_EQ(parser.parsed.size(), 3u);
}

TEST(SectionAssembly, ResetDropsThePartialSection) {
    const auto packets = SplitPackets(Packetizer(0x11).OnePerPacket({TestSection(kTable, 300)}));
    RecordingParse parser;
    Push(parser, packets[0]);
    parser.Reset();
    EXPECT_TRUE(parser.buffer.empty());
    Push(parser, packets[1]);
    EXPECT_TRUE(parser.parsed.empty());
}

// Sections that hold all their bytes but fail a check; each is followed by a good one that must
// still be parsed.
struct RejectCase {
    const char* name;
    Bytes section;

    friend void PrintTo(const RejectCase& c, std::ostream* os) { *os << c.name; }
};

Bytes WithBadCrc() {
    Bytes section = TestSection(kTable, 50);
    section[20] ^= 0x01;
    return section;
}

Bytes ShortSection(uint8_t sectionLength) {
    Bytes section(3 + sectionLength, 0x01);
    section[0] = kTable;
    section[1] = 0xF0;
    section[2] = sectionLength;
    return section;
}

// section_length 4 puts the CRC over bytes 3 to 6, inside the fixed header. The reserved bits
// are chosen so that the CRC matches and its byte 5 reads as current_next_indicator 1: only the
// length check can refuse this section.
Bytes ShortButConsistent() {
    for (uint8_t reserved = 0; reserved < 16; ++reserved) {
        Bytes section = ShortSection(4);
        section[1] = static_cast<uint8_t>(reserved << 4);
        tswriter::RecomputeCrc(section);
        if (section[5] & 0x01) return section;
    }
    ADD_FAILURE() << "no reserved bits give a matching CRC with current_next_indicator 1";
    return {};
}

class RejectedSection : public ::testing::TestWithParam<RejectCase> {};

TEST_P(RejectedSection, IsNeverParsedAndDoesNotHarmTheNext) {
    const Bytes good = TestSection(kTable, 60, 9);
    RecordingParse parser;
    PushAll(parser, Packetizer(0x11).OnePerPacket({GetParam().section, good}));
    ASSERT_EQ(parser.parsed.size(), 1u);
    EXPECT_EQ(parser.parsed[0], good);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, RejectedSection,
    ::testing::Values(RejectCase{"CrcMismatch", WithBadCrc()},
                      RejectCase{"CurrentNextZero", TestSection(kTable, 50, 0, false)},
                      RejectCase{"OtherTable", TestSection(0x4A, 50)},
                      RejectCase{"LengthZero", ShortSection(0)},
                      RejectCase{"LengthTwo", ShortSection(2)},
                      RejectCase{"LengthFourWithMatchingCrc", ShortButConsistent()}),
    CaseName<RejectCase>);

// A section whose first one or two bytes stand at the very end of a packet.
class HeaderSplitAcrossPackets : public ::testing::TestWithParam<uint8_t> {};

TEST_P(HeaderSplitAcrossPackets, IsAssembledAndParsed) {
    const uint8_t headBytes = GetParam();
    const Bytes section = TestSection(kTable, 100);
    Bytes first(184, 0xFF);
    first[0] = static_cast<uint8_t>(183 - headBytes);  // pointer_field
    std::copy(section.begin(), section.begin() + headBytes, first.end() - headBytes);
    Packetizer packetizer(0x11);
    RecordingParse parser;
    Push(parser, packetizer.Packet(true, first));
    EXPECT_TRUE(parser.parsed.empty());
    Push(parser, packetizer.Packet(false, Bytes(section.begin() + headBytes, section.end())));
    ASSERT_EQ(parser.parsed.size(), 1u);
    EXPECT_EQ(parser.parsed[0], section);
}

INSTANTIATE_TEST_SUITE_P(OneOrTwoBytes, HeaderSplitAcrossPackets, ::testing::Values(1, 2, 3));

// The buffer never holds more than the section in progress can use, even when no further
// payload-unit start arrives and the payload after a rejected section reads as further sections.
struct BoundCase {
    const char* name;
    Bytes start;  // payload of the first packet, pointer_field included

    friend void PrintTo(const BoundCase& c, std::ostream* os) { *os << c.name; }
};

Bytes LongestWithBadCrc() {
    Bytes section = TestSection(kTable, 4095 - 9);
    section.back() ^= 0xFF;
    return section;
}

class BoundedBuffer : public ::testing::TestWithParam<BoundCase> {};

TEST_P(BoundedBuffer, StaysWithinTheSectionWithoutFurtherPayloadUnitStart) {
    const Bytes& start = GetParam().start;
    const size_t sectionSize =
        start.size() >= 4 ? ((start[2] & 0x0F) << 8 | start[3]) + 3 : SectionParse::kMaxSectionSize;
    Packetizer packetizer(0x11);
    RecordingParse parser;
    size_t largest = 0;
    auto push = [&](bool unitStart, const Bytes& payload) {
        Push(parser, packetizer.Packet(unitStart, payload));
        largest = std::max(largest, parser.buffer.size());
    };
    push(true, Bytes(start.begin(), start.begin() + 184));
    for (size_t pos = 184; pos < start.size(); pos += 184) {
        const size_t end = std::min(start.size(), pos + 184);
        push(false, Bytes(start.begin() + pos, start.begin() + end));
    }
    for (int i = 0; i < 200; ++i) push(false, Bytes(184, 0x5A));
    EXPECT_TRUE(parser.parsed.empty());
    EXPECT_LE(largest, std::min(sectionSize, SectionParse::kMaxSectionSize));
    EXPECT_LE(parser.buffer.capacity(), 2 * SectionParse::kMaxSectionSize);
}

Bytes Payload(const Bytes& section) {
    Bytes payload(std::max<size_t>(1 + section.size(), 184), 0xFF);
    payload[0] = 0x00;
    std::copy(section.begin(), section.end(), payload.begin() + 1);
    return payload;
}

INSTANTIATE_TEST_SUITE_P(
    Sections, BoundedBuffer,
    ::testing::Values(BoundCase{"LongestWithBadCrc", Payload(LongestWithBadCrc())},
                      BoundCase{"ShortWithBadCrc", Payload(WithBadCrc())},
                      BoundCase{"CurrentNextZero", Payload(TestSection(kTable, 300, 0, false))},
                      BoundCase{"Stuffing", Payload({})},
                      BoundCase{"OtherTable", Payload(TestSection(0x70, 10))}),
    CaseName<BoundCase>);

TEST(SectionAssembly, FillerPacketsOfTheSamePidBetweenSectionsAreIgnored) {
    const Bytes section = TestSection(kTable, 10);
    RecordingParse parser;
    Push(parser, FillerPacket(0x11));
    PushAll(parser, Packetizer(0x11).OnePerPacket({section}));
    Push(parser, FillerPacket(0x11));
    EXPECT_EQ(parser.parsed.size(), 1u);
    EXPECT_TRUE(parser.buffer.empty());
}

}  // namespace
