#include "Packetizer.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace tswriter {

namespace {

void AppendPacket(Bytes& out, uint16_t pid, bool payloadUnitStart, uint8_t continuityCounter,
                  const uint8_t* payload, size_t size) {
    if (size > kPayloadSize) throw std::length_error("packet payload longer than 184 bytes");
    out.push_back(0x47);
    out.push_back(static_cast<uint8_t>((payloadUnitStart ? 0x40 : 0) | ((pid >> 8) & 0x1F)));
    out.push_back(static_cast<uint8_t>(pid));
    out.push_back(static_cast<uint8_t>(0x10 | (continuityCounter & 0x0F)));  // payload only
    out.insert(out.end(), payload, payload + size);
    out.insert(out.end(), kPayloadSize - size, 0xFF);
}

}  // namespace

Packetizer::Packetizer(uint16_t packetPid, uint8_t counter)
    : pid(packetPid), continuityCounter(counter & 0x0F) {}

Bytes Packetizer::Packet(bool payloadUnitStart, const Bytes& payload) {
    Bytes out;
    AppendPacket(out, pid, payloadUnitStart, continuityCounter, payload.data(), payload.size());
    continuityCounter = (continuityCounter + 1) & 0x0F;
    return out;
}

Bytes Packetizer::OnePerPacket(const std::vector<Bytes>& sections) {
    Bytes out;
    for (const Bytes& section : sections) {
        const Bytes packets = BackToBack({section});
        out.insert(out.end(), packets.begin(), packets.end());
    }
    return out;
}

Bytes Packetizer::BackToBack(const std::vector<Bytes>& sections) {
    Bytes stream;
    std::vector<size_t> starts;
    for (const Bytes& section : sections) {
        if (section.empty()) continue;
        starts.push_back(stream.size());
        stream.insert(stream.end(), section.begin(), section.end());
    }

    Bytes out;
    Bytes payload;
    payload.reserve(kPayloadSize);
    auto nextStart = starts.begin();
    size_t pos = 0;
    while (pos < stream.size()) {
        nextStart = std::lower_bound(nextStart, starts.end(), pos);
        const size_t toStart = nextStart == starts.end() ? SIZE_MAX : *nextStart - pos;
        payload.clear();
        const bool startsSection = toStart < kPayloadSize - 1;
        size_t take;
        if (startsSection) {
            payload.push_back(static_cast<uint8_t>(toStart));  // pointer_field
            take = std::min(kPayloadSize - 1, stream.size() - pos);
        } else {
            // A section may not start in a packet without payload_unit_start; one that would
            // begin in the last byte begins the next packet instead, after one stuffing byte.
            take = std::min({kPayloadSize, stream.size() - pos, toStart});
        }
        payload.insert(payload.end(), stream.begin() + pos, stream.begin() + pos + take);
        AppendPacket(out, pid, startsSection, continuityCounter, payload.data(), payload.size());
        continuityCounter = (continuityCounter + 1) & 0x0F;
        pos += take;
    }
    return out;
}

Bytes FillerPacket(uint16_t pid, uint8_t continuityCounter) {
    Bytes out;
    AppendPacket(out, pid, false, continuityCounter, nullptr, 0);
    return out;
}

}  // namespace tswriter
