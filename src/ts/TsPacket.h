#pragma once

#include <cstddef>
#include <cstdint>

// Fixed facts of the transport-stream packet and the PIDs the plug-in and the scanner read.
inline constexpr size_t kTsPacketSize = 188;
inline constexpr uint16_t kSdtPid = 0x0011;
inline constexpr uint16_t kCdtPid = 0x0029;

inline uint16_t PacketPid(const uint8_t* packet) {
    return static_cast<uint16_t>(((packet[1] & 0x1F) << 8) | packet[2]);
}
