#include "SectionParse.h"

#include <algorithm>

#include "Crc32.h"

namespace {

constexpr size_t kPacketHeaderSize = 4;
constexpr size_t kHeaderSize = 3;  // table_id and the two bytes holding section_length
// The CRC must lie after byte 4, where the long form's fixed header ends.
constexpr size_t kMinSectionLength = 5;
constexpr uint8_t kPayloadUnitStart = 0x40;
constexpr uint8_t kTransportError = 0x80;
constexpr uint8_t kHasAdaptation = 0x20;
constexpr uint8_t kHasPayload = 0x10;
// A table_id of 0xFF is stuffing: no further section starts in the packet.
constexpr uint8_t kStuffing = 0xFF;

}  // namespace

SectionParse::~SectionParse() = default;

size_t SectionParse::SectionSize() const {
    if (buffer.size() < kHeaderSize) return 0;
    return (static_cast<size_t>(buffer[1] & 0x0F) << 8 | buffer[2]) + kHeaderSize;
}

bool SectionParse::IsSectionComplete() const {
    if (buffer.size() < kHeaderSize || !IsTargetTable(buffer[0])) return false;
    const size_t size = SectionSize();
    if (size < kMinSectionLength + kHeaderSize || buffer.size() < size) return false;
    if ((buffer[5] & 0x01) == 0) return false;  // current_next_indicator: not yet applicable
    const uint8_t* crc = buffer.data() + size - 4;
    const uint32_t stored = static_cast<uint32_t>(crc[0]) << 24 |
                            static_cast<uint32_t>(crc[1]) << 16 |
                            static_cast<uint32_t>(crc[2]) << 8 | crc[3];
    return Crc32(buffer.data(), crc, 0xFFFFFFFFu) == stored;
}

void SectionParse::PushPacket(const uint8_t* begin, const uint8_t* end) {
    if (end < begin || static_cast<size_t>(end - begin) < kPacketHeaderSize + 1) return;
    switch (Intake(begin, end)) {
        case Continuity::Repeat:
            return;
        case Continuity::Broken:
            buffer.clear();
            break;
        case Continuity::Continues:
            break;
    }
    const uint8_t* payload = Payload(begin, end);
    if (payload == nullptr || payload == end) return;

    if (begin[1] & kPayloadUnitStart) {
        const size_t pointer = payload[0];
        // A pointer_field past the packet's end marks a damaged packet: the section in progress
        // cannot be completed from it either.
        if (pointer > static_cast<size_t>(end - payload - 1)) {
            buffer.clear();
            return;
        }
        const uint8_t* sectionStart = payload + 1 + pointer;
        if (!buffer.empty()) {
            // The bytes before the pointer's target are all the section in progress will get.
            Append(payload + 1, sectionStart);
            Finish();
        }
        TakeSections(sectionStart, end);
    } else {
        if (buffer.empty()) return;  // the start of this section was never seen
        TakeSections(payload, end);
    }
}

SectionParse::Continuity SectionParse::Intake(const uint8_t* begin, const uint8_t* end) {
    if (begin[1] & kTransportError) {
        // Its header cannot be trusted either: the next packet starts the count afresh.
        counterKnown = false;
        return Continuity::Broken;
    }
    // The counter advances only with payload; a packet without one says nothing of the others.
    if ((begin[3] & kHasPayload) == 0) return Continuity::Continues;
    const size_t size = std::min(static_cast<size_t>(end - begin), lastPacket.size());
    const uint8_t counter = begin[3] & 0x0F;
    const uint8_t last = lastPacket[3] & 0x0F;
    Continuity continuity = Continuity::Continues;
    if (counterKnown && counter == last) {
        // A repeat of the packet before is taken once; other bytes under its counter are a fault.
        if (std::equal(begin, begin + size, lastPacket.begin())) return Continuity::Repeat;
        continuity = Continuity::Broken;
    } else if (counterKnown && counter != ((last + 1) & 0x0F)) {
        continuity = Continuity::Broken;
    }
    std::copy(begin, begin + size, lastPacket.begin());
    counterKnown = true;
    return continuity;
}

const uint8_t* SectionParse::Payload(const uint8_t* begin, const uint8_t* end) {
    const uint8_t control = begin[3];
    if (begin[1] & kTransportError || (control & kHasPayload) == 0) return nullptr;
    const uint8_t* payload = begin + kPacketHeaderSize;
    if (control & kHasAdaptation) payload += 1 + static_cast<size_t>(payload[0]);
    return payload <= end ? payload : nullptr;
}

void SectionParse::TakeSections(const uint8_t* first, const uint8_t* last) {
    while (first < last) {
        if (buffer.empty() && *first == kStuffing) return;
        first = Append(first, last);
        const size_t size = SectionSize();
        if (size > maxSectionLength + kHeaderSize) {
            buffer.clear();
            return;
        }
        if (size == 0 || buffer.size() < size) return;  // the rest comes with later packets
        Finish();
    }
}

void SectionParse::Finish() {
    if (IsSectionComplete()) {
        Parse();
        if (sectionHandler.call) sectionHandler.call(sectionHandler.callable);
    }
    // What follows a section is taken from the packet, never from `buffer`.
    buffer.clear();
}

void SectionParse::Reset() {
    buffer.clear();
    counterKnown = false;
}

// Keeps `buffer` to the section in progress, so that it stays bounded whatever the stream holds.
const uint8_t* SectionParse::Append(const uint8_t* first, const uint8_t* last) {
    while (first < last) {
        const size_t limit = buffer.size() < kHeaderSize ? kHeaderSize : SectionSize();
        if (buffer.size() >= limit) break;
        const size_t take = std::min(limit - buffer.size(), static_cast<size_t>(last - first));
        if (buffer.capacity() == 0) buffer.reserve(kMaxSectionSize);
        buffer.insert(buffer.end(), first, first + take);
        first += take;
    }
    return first;
}
