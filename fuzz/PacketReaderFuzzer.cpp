// insigno-scan's packet reader. First byte odd: the rest is a recording as it stands, and every
// packet read must be a piece of it, in order, starting with a sync byte at a known stride. Even: a
// clean recording is built of `count` packets at one stride with one run of junk before packet
// `at`; no byte but a sync byte is 0x47, so nothing can be mistaken for a packet and what must come
// back is known: only whole packets in order, all of them without junk, and around the junk every
// packet of a run long enough to be confirmed.
#include <algorithm>
#include <sstream>
#include <string>

#include "FuzzReader.h"
#include "PacketReader.h"

namespace {

constexpr size_t kStrides[] = {188, 192, 204};
constexpr size_t kConfirm = 5;  // sync bytes the reader wants lined up before it believes a run

uint8_t NotSync(uint8_t byte) {
    return byte == 0x47 ? 0x46 : byte;
}

// Packet `index`: sync byte, its index in six bits each of the next two bytes, then the pattern.
std::string Packet(size_t index, const std::vector<uint8_t>& pattern) {
    std::string packet(kTsPacketSize, '\0');
    packet[0] = 0x47;
    packet[1] = static_cast<char>(index >> 6 & 0x3F);
    packet[2] = static_cast<char>(index & 0x3F);
    for (size_t i = 3; i < kTsPacketSize; ++i) {
        packet[i] = static_cast<char>(pattern.empty() ? 0 : NotSync(pattern[i % pattern.size()]));
    }
    return packet;
}

void CheckRaw(FuzzReader& in) {
    const std::vector<uint8_t> rest = in.Rest();
    std::istringstream stream(std::string(rest.begin(), rest.end()));
    PacketReader reader(stream);
    // Each packet is 188 bytes of the input starting behind the previous packet's start; after
    // a break it may overlap the previous one, which was cut.
    auto from = rest.begin();
    while (const uint8_t* packet = reader.Next()) {
        FUZZ_CHECK(packet[0] == 0x47);
        FUZZ_CHECK(reader.Stride() == 188 || reader.Stride() == 192 || reader.Stride() == 204);
        from = std::search(from, rest.end(), packet, packet + kTsPacketSize);
        FUZZ_CHECK(from != rest.end());
        ++from;
    }
}

void CheckBuilt(FuzzReader& in) {
    const size_t stride = kStrides[in.Byte() % 3];
    const size_t count = in.Word() % 2048;
    const size_t junkAt = count ? in.Word() % (count + 1) : 0;
    std::vector<uint8_t> junk = in.Bytes(in.Byte());
    for (uint8_t& byte : junk) byte = NotSync(byte);
    const std::vector<uint8_t> pattern = in.Rest();

    std::vector<std::string> sent;
    std::string recording;
    for (size_t i = 0; i <= count; ++i) {
        if (i == junkAt) recording.append(junk.begin(), junk.end());
        if (i == count) break;
        sent.push_back(Packet(i, pattern));
        // A timestamp before the packet at 192, parity bytes behind it at 204.
        if (stride == 192) recording.append("\x01\x02\x03\x04");
        recording += sent.back();
        if (stride == 204) recording.append(16, '\x5A');
    }
    std::istringstream stream(recording);
    PacketReader reader(stream);
    std::vector<bool> read(count, false);
    size_t next = 0;
    while (const uint8_t* packet = reader.Next()) {
        // A few packets behind junk of a timestamp's length are 192-byte packets as well.
        FUZZ_CHECK(reader.Stride() == stride || count < kConfirm);
        // The packet's index tells which one it is; it must be a later one, byte for byte.
        const size_t index = size_t{packet[1]} << 6 | packet[2];
        FUZZ_CHECK(index >= next && index < count);
        FUZZ_CHECK(sent[index].compare(0, kTsPacketSize, reinterpret_cast<const char*>(packet),
                                       kTsPacketSize) == 0);
        read[index] = true;
        next = index + 1;
    }
    const bool before = junk.empty() || junkAt >= kConfirm;
    const bool after = junk.empty() || count - junkAt >= kConfirm;
    for (size_t i = 0; i < count; ++i) FUZZ_CHECK(read[i] || !(i < junkAt ? before : after));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader in(data, size);
    if (in.Byte() & 0x01) {
        CheckRaw(in);
    } else {
        CheckBuilt(in);
    }
    return 0;
}
