#include "Packetizer.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace tswriter {

namespace {

// adaptation: the adaptation_field_length, or -1 for a packet without adaptation field.
void AppendPacket(Bytes& out, uint16_t pid, bool payloadUnitStart, uint8_t continuityCounter,
                  const uint8_t* payload, size_t size, int adaptation = -1) {
    const size_t room = Packetizer::Room(adaptation);
    if (size > room) throw std::length_error("packet payload longer than its room");
    out.push_back(0x47);
    out.push_back(static_cast<uint8_t>((payloadUnitStart ? 0x40 : 0) | ((pid >> 8) & 0x1F)));
    out.push_back(static_cast<uint8_t>(pid));
    const uint8_t control = adaptation < 0 ? 0x10 : 0x30;
    out.push_back(static_cast<uint8_t>(control | (continuityCounter & 0x0F)));
    if (adaptation >= 0) {
        out.push_back(static_cast<uint8_t>(adaptation));
        // No flags set, then stuffing.
        if (adaptation > 0) out.push_back(0x00);
        if (adaptation > 1) out.insert(out.end(), static_cast<size_t>(adaptation - 1), 0xFF);
    }
    out.insert(out.end(), payload, payload + size);
    out.insert(out.end(), room - size, 0xFF);
}

// A packet without payload: an adaptation field of stuffing that fills it.
void AppendAdaptationOnly(Bytes& out, uint16_t pid, uint8_t continuityCounter) {
    out.push_back(0x47);
    out.push_back(static_cast<uint8_t>((pid >> 8) & 0x1F));
    out.push_back(static_cast<uint8_t>(pid));
    out.push_back(static_cast<uint8_t>(0x20 | (continuityCounter & 0x0F)));
    out.push_back(183);
    out.push_back(0x00);
    out.insert(out.end(), 182, 0xFF);
}

}  // namespace

Packetizer::Packetizer(uint16_t packetPid, uint8_t counter, PacketShape packetShape)
    : pid(packetPid), continuityCounter(counter & 0x0F), shape(packetShape) {
    if (shape.adaptation > 182) throw std::invalid_argument("adaptation field longer than 182");
}

Bytes Packetizer::Packet(bool payloadUnitStart, const Bytes& payload) {
    Bytes out;
    AppendPacket(out, pid, payloadUnitStart, continuityCounter, payload.data(), payload.size());
    continuityCounter = (continuityCounter + 1) & 0x0F;
    return out;
}

size_t Packetizer::Room(int adaptation) {
    return kPayloadSize - (adaptation < 0 ? 0 : static_cast<size_t>(adaptation) + 1);
}

int Packetizer::AdaptationOf(bool startsSection) const {
    return startsSection ? std::min(shape.adaptation, 179) : shape.adaptation;
}

void Packetizer::Emit(Bytes& out, bool payloadUnitStart, const Bytes& payload, bool errorFits,
                      bool gapFits) {
    bool error = false;
    if (errorFits && shape.transportErrorEvery > 0) {
        error = ++errorChances % shape.transportErrorEvery == 0;
    }
    if (gapFits && shape.counterGapEvery > 0 && ++gapChances % shape.counterGapEvery == 0) {
        continuityCounter = (continuityCounter + 1) & 0x0F;
    }
    const size_t first = out.size();
    AppendPacket(out, pid, payloadUnitStart, continuityCounter, payload.data(), payload.size(),
                 AdaptationOf(payloadUnitStart));
    if (error) out[first + 1] |= 0x80;
    if (shape.repeat) out.insert(out.end(), out.begin() + first, out.begin() + first + kPacketSize);
    // Its counter stays: only packets with payload count.
    if (shape.adaptationOnly) AppendAdaptationOnly(out, pid, continuityCounter);
    continuityCounter = (continuityCounter + 1) & 0x0F;
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

    const size_t startRoom = Room(AdaptationOf(true));
    const size_t room = Room(AdaptationOf(false));
    // Whether a packet cut at `pos` starts a section, and how far away that start lies.
    const auto startAt = [&](size_t at, size_t& toStart) {
        const auto next = std::lower_bound(starts.begin(), starts.end(), at);
        toStart = next == starts.end() ? SIZE_MAX : *next - at;
        return toStart < startRoom - 1;
    };
    // Where each packet's payload begins and ends, and whether a section starts in it.
    struct Cut {
        size_t pos;
        size_t take;
        bool startsSection;
        size_t toStart;
    };
    std::vector<Cut> cuts;
    for (size_t pos = 0; pos < stream.size();) {
        Cut cut{pos, 0, false, 0};
        cut.startsSection = startAt(pos, cut.toStart);
        // A section may not start in a packet without payload_unit_start; one that would begin
        // in the last byte begins the next packet instead, after one stuffing byte.
        cut.take = cut.startsSection ? std::min(startRoom - 1, stream.size() - pos)
                                     : std::min({room, stream.size() - pos, cut.toStart});
        cuts.push_back(cut);
        pos += cut.take;
    }
    const auto opensSection = [&](size_t index) {
        return index >= cuts.size() || cuts[index].startsSection;
    };
    Bytes out;
    Bytes payload;
    payload.reserve(kPayloadSize);
    for (size_t i = 0; i < cuts.size(); ++i) {
        const Cut& cut = cuts[i];
        payload.clear();
        if (cut.startsSection) payload.push_back(static_cast<uint8_t>(cut.toStart));
        payload.insert(payload.end(), stream.begin() + static_cast<std::ptrdiff_t>(cut.pos),
                       stream.begin() + static_cast<std::ptrdiff_t>(cut.pos + cut.take));
        const bool continues = !cut.startsSection;
        Emit(out, cut.startsSection, payload,
             continues && !opensSection(i + 1) && opensSection(i + 2),
             continues && opensSection(i + 1));
    }
    return out;
}

Bytes FillerPacket(uint16_t pid, uint8_t continuityCounter) {
    Bytes out;
    AppendPacket(out, pid, false, continuityCounter, nullptr, 0);
    return out;
}

}  // namespace tswriter
