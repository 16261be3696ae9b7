#include <gtest/gtest.h>

#include <stdexcept>

#include "RecordingParse.h"
#include "TsTestUtil.h"

namespace {

using tswriter::Packetizer;

TEST(Packetizer, HeadersCarryPidCounterAndStuffing) {
    Packetizer packetizer(0x1ABC, 14);
    const Bytes first = packetizer.OnePerPacket({TestSection(0x42, 20)});
    const Bytes second = packetizer.Packet(false, {0x01});
    const Bytes third = packetizer.Packet(false, {});
    ASSERT_EQ(first.size(), 188u);
    for (const Bytes* packet : {&first, &second, &third}) {
        ASSERT_EQ(packet->size(), 188u);
        EXPECT_EQ((*packet)[0], 0x47);
        EXPECT_EQ(((*packet)[1] & 0x1F) << 8 | (*packet)[2], 0x1ABC);
        EXPECT_EQ((*packet)[3] & 0xF0, 0x10);  // payload only, not scrambled
    }
    EXPECT_EQ(first[1] & 0x40, 0x40);
    EXPECT_EQ(second[1] & 0x40, 0);
    EXPECT_EQ(first[3] & 0x0F, 14);
    EXPECT_EQ(second[3] & 0x0F, 15);
    EXPECT_EQ(third[3] & 0x0F, 0);
    EXPECT_EQ(first[4], 0);          // pointer_field
    EXPECT_EQ(first[5 + 32], 0xFF);  // stuffing right after the 32-byte section
    EXPECT_EQ(Bytes(third.begin() + 4, third.end()), Bytes(184, 0xFF));
    EXPECT_THROW(packetizer.Packet(false, Bytes(185, 0)), std::length_error);
}

TEST(Packetizer, SectionThatWouldStartInTheLastByteStartsTheNextPacket) {
    // The first section ends one byte before the second packet's end.
    const Bytes first = TestSection(RecordingParse::kTable, 366 - 12, 1);
    const Bytes second = TestSection(RecordingParse::kTable, 10, 2);
    const auto packets = SplitPackets(Packetizer(0x11).BackToBack({first, second}));
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(packets[1][1] & 0x40, 0);
    EXPECT_EQ(packets[1][187], 0xFF);
    EXPECT_EQ(packets[2][1] & 0x40, 0x40);
    EXPECT_EQ(packets[2][4], 0);
    RecordingParse parser;
    for (const Bytes& packet : packets) Push(parser, packet);
    ASSERT_EQ(parser.parsed.size(), 2u);
    EXPECT_EQ(parser.parsed[1], second);
}

TEST(Packetizer, FillerPacketIsAllStuffing) {
    const Bytes filler = tswriter::FillerPacket(tswriter::kNullPid, 3);
    ASSERT_EQ(filler.size(), 188u);
    EXPECT_EQ(filler[1], 0x1F);
    EXPECT_EQ(filler[2], 0xFF);
    EXPECT_EQ(filler[3], 0x13);
}

TEST(Sections, ReservedBitsAreSentAsOne) {
    tswriter::SdtSection sdt;
    sdt.services = {{1, 0, 0, false, {}}};
    const Bytes s = sdt.Build();
    EXPECT_EQ(s[1] & 0xF0, 0xF0);   // section_syntax_indicator and reserved
    EXPECT_EQ(s[5] & 0xC0, 0xC0);   // before version_number
    EXPECT_EQ(s[10], 0xFF);         // reserved_future_use
    EXPECT_EQ(s[13] & 0xE0, 0xE0);  // before the EIT flags
    tswriter::CdtLogoSection cdt;
    const Bytes c = cdt.Build();
    EXPECT_EQ(c[11] & 0xF0, 0xF0);  // before descriptors_loop_length
    EXPECT_EQ(c[14], 0xFE);         // before logo_id
    EXPECT_EQ(c[16], 0xF0);         // before logo_version
}

TEST(Sections, LengthsBeyondTheirFieldsAreRefused) {
    EXPECT_THROW(tswriter::LongSection({0x42}, Bytes(4095 - 8, 0)), std::length_error);
    EXPECT_NO_THROW(tswriter::LongSection({0x42}, Bytes(4095 - 9, 0)));
    EXPECT_THROW(tswriter::Descriptor(0x48, Bytes(256, 0)), std::length_error);
    tswriter::CdtLogoSection cdt;
    cdt.data.resize(5000);
    EXPECT_THROW(cdt.Build(), std::length_error);
}

}  // namespace
