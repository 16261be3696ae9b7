#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "PacketReader.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A 188-byte packet whose payload starts with its number, so the test can tell packets apart.
Bytes Packet(uint32_t number) {
    Bytes packet(kTsPacketSize, 0xFF);
    packet[0] = 0x47;
    packet[1] = 0x01;
    packet[2] = 0x00;
    packet[3] = 0x10;
    for (int i = 0; i < 4; ++i) packet[4 + i] = static_cast<uint8_t>(number >> (24 - 8 * i));
    return packet;
}

// Junk with a stray sync byte every 50 bytes. The sizes used below keep each stray one from
// lying a whole number of strides before a real packet, which no reader could tell from a packet.
Bytes Garbage(size_t size) {
    Bytes junk(size);
    for (size_t i = 0; i < size; ++i) {
        junk[i] = i % 50 == 10 ? 0x47 : static_cast<uint8_t>((i * 7) & 0x3F);
    }
    return junk;
}

void AppendFramed(Bytes& out, const Bytes& packet, size_t stride, size_t keep = kTsPacketSize) {
    if (stride == 192) out.insert(out.end(), {0x00, 0x12, 0x34, 0x56});
    out.insert(out.end(), packet.begin(), packet.begin() + keep);
    if (stride == 204 && keep == kTsPacketSize) out.insert(out.end(), 16, 0x00);
}

struct Read {
    std::vector<uint32_t> numbers;
    size_t stride = 0;
};

Read ReadAll(const Bytes& bytes) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    PacketReader reader(in);
    Read read;
    while (const uint8_t* packet = reader.Next()) {
        EXPECT_EQ(packet[0], 0x47);
        read.numbers.push_back((uint32_t{packet[4]} << 24) | (uint32_t{packet[5]} << 16) |
                               (uint32_t{packet[6]} << 8) | packet[7]);
        read.stride = reader.Stride();
    }
    return read;
}

std::vector<uint32_t> Range(uint32_t from, uint32_t to) {
    std::vector<uint32_t> numbers;
    for (uint32_t n = from; n < to; ++n) numbers.push_back(n);
    return numbers;
}

enum class Damage { None, GarbageFirst, GarbageBetween, CutPacket, GarbageLast };

struct FramingCase {
    size_t stride;
    Damage damage;
};

std::ostream& operator<<(std::ostream& out, const FramingCase& c) {
    static const char* const kDamage[] = {"clean", "garbage-first", "garbage-between", "cut-packet",
                                          "garbage-last"};
    return out << c.stride << "-" << kDamage[static_cast<int>(c.damage)];
}

class PacketReaderFraming : public ::testing::TestWithParam<FramingCase> {};

TEST_P(PacketReaderFraming, FindsEveryWholePacket) {
    const auto [stride, damage] = GetParam();
    Bytes bytes;
    if (damage == Damage::GarbageFirst) bytes = Garbage(1001);
    std::vector<uint32_t> expected;
    for (uint32_t n = 0; n < 12; ++n) {
        if (damage == Damage::GarbageBetween && n == 6) {
            const Bytes junk = Garbage(333);
            bytes.insert(bytes.end(), junk.begin(), junk.end());
        }
        // A cut packet is still taken (it cannot be told from a whole one); its neighbours too.
        AppendFramed(bytes, Packet(n), stride, damage == Damage::CutPacket && n == 6 ? 100 : 188);
        expected.push_back(n);
    }
    if (damage == Damage::GarbageLast) {
        const Bytes junk = Garbage(150);
        bytes.insert(bytes.end(), junk.begin(), junk.end());
    }
    const Read read = ReadAll(bytes);
    EXPECT_EQ(read.numbers, expected);
    EXPECT_EQ(read.stride, stride);
}

INSTANTIATE_TEST_SUITE_P(
    SizesAndDamage, PacketReaderFraming,
    ::testing::Values(
        FramingCase{188, Damage::None}, FramingCase{192, Damage::None},
        FramingCase{204, Damage::None}, FramingCase{188, Damage::GarbageFirst},
        FramingCase{192, Damage::GarbageFirst}, FramingCase{204, Damage::GarbageFirst},
        FramingCase{188, Damage::GarbageBetween}, FramingCase{192, Damage::GarbageBetween},
        FramingCase{204, Damage::GarbageBetween}, FramingCase{188, Damage::CutPacket},
        FramingCase{192, Damage::CutPacket}, FramingCase{204, Damage::CutPacket},
        FramingCase{188, Damage::GarbageLast}, FramingCase{204, Damage::GarbageLast}));

TEST(PacketReader, GivesNothingForInputWithoutPackets) {
    EXPECT_TRUE(ReadAll({}).numbers.empty());
    EXPECT_TRUE(ReadAll(Garbage(5000)).numbers.empty());
    Bytes shortPacket = Packet(0);
    shortPacket.resize(187);
    EXPECT_TRUE(ReadAll(shortPacket).numbers.empty());
}

TEST(PacketReader, TakesAShortFileOfWholePackets) {
    Bytes bytes = Packet(7);
    EXPECT_EQ(ReadAll(bytes).numbers, std::vector<uint32_t>{7});
    AppendFramed(bytes, Packet(8), 188);
    EXPECT_EQ(ReadAll(bytes).numbers, (std::vector<uint32_t>{7, 8}));
    Bytes timestamped;
    AppendFramed(timestamped, Packet(9), 192);
    EXPECT_EQ(ReadAll(timestamped).numbers, std::vector<uint32_t>{9});
}

TEST(PacketReader, StreamsInputLargerThanItsWindow) {
    // About 2.4 MB: many refills, with a resync and a change of framing in the middle.
    Bytes bytes;
    for (uint32_t n = 0; n < 6000; ++n) AppendFramed(bytes, Packet(n), 204);
    const Bytes junk = Garbage(999);
    bytes.insert(bytes.end(), junk.begin(), junk.end());
    for (uint32_t n = 6000; n < 12000; ++n) AppendFramed(bytes, Packet(n), 192);
    const Read read = ReadAll(bytes);
    EXPECT_EQ(read.numbers, Range(0, 12000));
    EXPECT_EQ(read.stride, 192u);
}

// A stream whose device fails after some bytes, as a bad disk or a directory does.
class FailingBuffer : public std::streambuf {
protected:
    int_type underflow() override {
        if (served++ == 0) {
            chunk = Packet(0);
            chunk.resize(kTsPacketSize * 1);
            setg(reinterpret_cast<char*>(chunk.data()), reinterpret_cast<char*>(chunk.data()),
                 reinterpret_cast<char*>(chunk.data() + chunk.size()));
            return traits_type::to_int_type(*gptr());
        }
        throw std::runtime_error("device error");
    }

private:
    Bytes chunk;
    int served = 0;
};

TEST(PacketReader, ReportsAReadFailure) {
    FailingBuffer buffer;
    std::istream in(&buffer);
    PacketReader reader(in);
    EXPECT_THROW(reader.Next(), std::runtime_error);
}

}  // namespace
