#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Descriptors.h"
#include "TsPacket.h"

namespace tswriter {

inline constexpr size_t kPacketSize = kTsPacketSize;
inline constexpr size_t kPayloadSize = 184;
using ::kCdtPid;
using ::kSdtPid;
inline constexpr uint16_t kNullPid = 0x1FFF;

// How section packets are shaped, as real multiplexers send them. Faults go only where a reader
// that stops following the counter between sections loses the same as one that follows it: a
// transport error in the last but one packet of a section, a counter gap before its last.
struct PacketShape {
    int adaptation = -1;          // adaptation_field_length in every packet (0 to 182); -1 none
    bool adaptationOnly = false;  // an adaptation-only packet after every packet
    bool repeat = false;          // every packet sent twice, same counter and bytes
    int counterGapEvery = 0;  // the counter skips a value before every Nth section's last packet
    int transportErrorEvery = 0;  // transport_error_indicator set in every Nth such place
};

// Cuts sections into the 188-byte packets of one PID, counting the continuity counter on from
// one call to the next. Unless shaped, every packet carries payload only; unused payload is 0xFF
// stuffing.
class Packetizer {
public:
    explicit Packetizer(uint16_t pid, uint8_t continuityCounter = 0, PacketShape shape = {});

    // Each section starts a packet of its own with pointer_field 0.
    Bytes OnePerPacket(const std::vector<Bytes>& sections);
    // Sections follow each other without a gap, several in one packet where they fit; the
    // pointer_field of a packet points at the first section that starts in it.
    Bytes BackToBack(const std::vector<Bytes>& sections);
    // One packet with the payload as given (a pointer_field, if any, included), stuffed to 184
    // bytes; for hand-made and damaged packets. Throws std::length_error past 184 bytes.
    Bytes Packet(bool payloadUnitStart, const Bytes& payload);

    uint16_t Pid() const { return pid; }
    // Payload bytes of a packet with this adaptation_field_length (-1: none).
    static size_t Room(int adaptation);
    uint8_t ContinuityCounter() const { return continuityCounter; }

private:
    // The adaptation_field_length of a packet: one that starts a section keeps room for the
    // pointer_field and the section's first three bytes, as some readers need.
    int AdaptationOf(bool startsSection) const;
    // Appends one packet of the sections in shape; whether the packet is a place for a transport
    // error or a counter gap.
    void Emit(Bytes& out, bool payloadUnitStart, const Bytes& payload, bool errorFits,
              bool gapFits);

    uint16_t pid;
    uint8_t continuityCounter;
    PacketShape shape;
    int errorChances = 0;  // places for a fault so far
    int gapChances = 0;
};

// A packet of `pid` whose payload is all 0xFF: traffic of another PID between table packets.
Bytes FillerPacket(uint16_t pid, uint8_t continuityCounter = 0);

}  // namespace tswriter
