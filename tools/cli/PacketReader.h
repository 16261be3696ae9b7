#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

#include "TsPacket.h"

// Reads 188-byte transport-stream packets from a recording of any length in constant memory.
// The framing is found from the data: plain 188-byte packets, 192-byte packets with a 4-byte
// timestamp before the sync byte, or 204-byte packets with 16 parity bytes after the packet.
// Bytes that do not belong to a run of packets (garbage, a cut packet) are skipped and the
// reader locks on again at the next run of sync bytes.
class PacketReader {
public:
    explicit PacketReader(std::istream& in);

    // The next packet (188 bytes from its sync byte), valid until the next call; nullptr at the
    // end of the input. Throws std::runtime_error when the input cannot be read.
    const uint8_t* Next();

    // Distance between sync bytes of the current run: 188, 192 or 204; 0 before the first packet.
    size_t Stride() const { return stride; }

private:
    bool Fill(size_t wanted);
    bool Lock();

    std::istream& in;
    std::vector<uint8_t> window;
    size_t begin = 0;           // first unread byte in `window`
    size_t end = 0;             // one past the last valid byte in `window`
    uint64_t windowOffset = 0;  // position of window[0] in the input
    bool atEof = false;
    size_t stride = 0;
    bool locked = false;
};
