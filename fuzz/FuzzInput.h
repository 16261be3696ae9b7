#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Crc32.h"
#include "FuzzReader.h"
#include "Packetizer.h"
#include "SectionParse.h"

// Gives the section `tableId`, a set current_next_indicator and a correct CRC_32 when its
// declared length fits, so that the table parser itself sees the fuzzed lengths and loops.
inline void CompleteSection(std::vector<uint8_t>& section, uint8_t tableId) {
    if (section.size() < 15) return;
    section[0] = tableId;
    const size_t declared = ((section[1] & 0x0F) << 8 | section[2]) + 3;
    if (declared < 8 || declared > section.size()) return;
    section[5] |= 0x01;
    const uint32_t crc = Crc32(section.data(), section.data() + declared - 4, 0xFFFFFFFFu);
    for (int i = 0; i < 4; ++i) {
        section[declared - 4 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    }
}

// Turns one fuzz input into packets for a parser. The first byte chooses the shape:
// - bit 0 set: the rest is raw packet bytes, cut into 188-byte packets (hostile headers,
//   pointer fields, lengths);
// - bit 0 clear: the rest is one section made to pass by CompleteSection (and, with bit 1, whose
//   byte 10 is `byte10`).
// Every packet is pushed from its own allocation, so AddressSanitizer sees a read past its end;
// `check` runs after each one.
template <typename Check>
void PushFuzzInput(SectionParse& parser, const uint8_t* data, size_t size, uint8_t tableId,
                   int byte10, Check check) {
    if (size < 1) return;
    const uint8_t mode = data[0];
    std::vector<uint8_t> stream;
    if (mode & 0x01) {
        stream.assign(data + 1, data + size);
    } else {
        std::vector<uint8_t> section(data + 1, data + size);
        if (section.size() >= 15 && byte10 >= 0 && (mode & 0x02)) {
            section[10] = static_cast<uint8_t>(byte10);
        }
        CompleteSection(section, tableId);
        stream = tswriter::Packetizer(0x11).OnePerPacket({section});
    }
    for (size_t pos = 0; pos + tswriter::kPacketSize <= stream.size();
         pos += tswriter::kPacketSize) {
        const std::vector<uint8_t> packet(stream.begin() + pos,
                                          stream.begin() + pos + tswriter::kPacketSize);
        parser.PushPacket(packet.data(), packet.data() + packet.size());
        FUZZ_CHECK(parser.buffer.size() <= SectionParse::kMaxSectionSize);
        check();
    }
}
