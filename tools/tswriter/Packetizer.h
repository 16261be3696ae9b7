#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Descriptors.h"

namespace tswriter {

inline constexpr size_t kPacketSize = 188;
inline constexpr size_t kPayloadSize = 184;
inline constexpr uint16_t kSdtPid = 0x0011;
inline constexpr uint16_t kCdtPid = 0x0029;
inline constexpr uint16_t kNullPid = 0x1FFF;

// Cuts sections into the 188-byte packets of one PID, counting the continuity counter on from
// one call to the next. Every packet carries payload only; unused payload is 0xFF stuffing.
class Packetizer {
public:
    explicit Packetizer(uint16_t pid, uint8_t continuityCounter = 0);

    // Each section starts a packet of its own with pointer_field 0.
    Bytes OnePerPacket(const std::vector<Bytes>& sections);
    // Sections follow each other without a gap, several in one packet where they fit; the
    // pointer_field of a packet points at the first section that starts in it.
    Bytes BackToBack(const std::vector<Bytes>& sections);
    // One packet with the payload as given (a pointer_field, if any, included), stuffed to 184
    // bytes; for hand-made and damaged packets. Throws std::length_error past 184 bytes.
    Bytes Packet(bool payloadUnitStart, const Bytes& payload);

    uint16_t Pid() const { return pid; }
    uint8_t ContinuityCounter() const { return continuityCounter; }

private:
    uint16_t pid;
    uint8_t continuityCounter;
};

// A packet of `pid` whose payload is all 0xFF: traffic of another PID between table packets.
Bytes FillerPacket(uint16_t pid, uint8_t continuityCounter = 0);

}  // namespace tswriter
