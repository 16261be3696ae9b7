#include "SectionParse.h"

#include <algorithm>

#include "Crc32.h"

namespace {

constexpr size_t kPacketHeaderSize = 4;
constexpr size_t kHeaderSize = 3;  // table_id and the two bytes holding section_length
// The CRC must lie after byte 4, where the long form's fixed header ends.
constexpr size_t kMinSectionLength = 5;
constexpr uint8_t kPayloadUnitStart = 0x40;
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
    const uint8_t* payload = begin + kPacketHeaderSize;

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
