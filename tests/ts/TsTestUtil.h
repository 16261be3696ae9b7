#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "Packetizer.h"
#include "SectionParse.h"
#include "Sections.h"

using tswriter::Bytes;

// Pushes every 188-byte packet of `stream`, each from its own allocation so that AddressSanitizer
// sees any read past a packet's end.
inline void PushAll(SectionParse& parser, const Bytes& stream) {
    for (size_t pos = 0; pos + tswriter::kPacketSize <= stream.size();
         pos += tswriter::kPacketSize) {
        const Bytes packet(stream.begin() + pos, stream.begin() + pos + tswriter::kPacketSize);
        parser.PushPacket(packet.data(), packet.data() + packet.size());
    }
}

// Concatenation, sized up front: growing a vector from a short initialiser trips GCC 12's
// -Warray-bounds in release builds.
inline Bytes Join(std::initializer_list<Bytes> parts) {
    size_t size = 0;
    for (const Bytes& part : parts) size += part.size();
    Bytes out(size);
    auto next = out.begin();
    for (const Bytes& part : parts) next = std::copy(part.begin(), part.end(), next);
    return out;
}

inline std::vector<Bytes> SplitPackets(const Bytes& stream) {
    std::vector<Bytes> packets;
    for (size_t pos = 0; pos + tswriter::kPacketSize <= stream.size();
         pos += tswriter::kPacketSize) {
        packets.emplace_back(stream.begin() + pos, stream.begin() + pos + tswriter::kPacketSize);
    }
    return packets;
}

inline void Push(SectionParse& parser, const Bytes& packet) {
    parser.PushPacket(packet.data(), packet.data() + packet.size());
}

// A long section of `tableId` whose body is `bodySize` bytes counting up from `seed`.
inline Bytes TestSection(uint8_t tableId, size_t bodySize, uint8_t seed = 0,
                         bool currentNext = true) {
    Bytes body(bodySize);
    for (size_t i = 0; i < bodySize; ++i) body[i] = static_cast<uint8_t>(seed + i);
    return tswriter::LongSection({tableId, 1, 0, currentNext, 0, 0}, body);
}

// Test names of parameter tables whose rows carry a `name`.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}
