#include "Sections.h"

#include <stdexcept>

#include "Crc32.h"

namespace tswriter {

namespace {

void PutU16(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

// A 12-bit length after `reservedBits` in the top nibble.
void PutLength12(Bytes& out, uint8_t reservedBits, size_t length, const char* what) {
    if (length > 0x0FFF) throw std::length_error(what);
    PutU16(out, static_cast<uint16_t>((reservedBits << 12) | length));
}

void PutCrc(Bytes& out) {
    const uint32_t crc = Crc32(out.data(), out.data() + out.size(), 0xFFFFFFFFu);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(crc >> shift));
}

}  // namespace

Bytes LongSection(const LongHeader& header, const Bytes& body) {
    // section_length counts from after itself: 5 header bytes, the body and the CRC.
    const size_t sectionLength = 5 + body.size() + 4;
    Bytes out{header.tableId};
    out.reserve(3 + sectionLength);
    PutLength12(out, header.flagBits, sectionLength, "section longer than section_length can say");
    PutU16(out, header.tableIdExtension);
    out.push_back(static_cast<uint8_t>(0xC0 | ((header.versionNumber & 0x1F) << 1) |
                                       (header.currentNext ? 1 : 0)));
    out.push_back(header.sectionNumber);
    out.push_back(header.lastSectionNumber);
    out.insert(out.end(), body.begin(), body.end());
    PutCrc(out);
    return out;
}

void RecomputeCrc(Bytes& section) {
    if (section.size() < 4) throw std::invalid_argument("section shorter than its CRC");
    section.resize(section.size() - 4);
    PutCrc(section);
}

Bytes SdtSection::Build() const {
    Bytes body;
    PutU16(body, originalNetworkId);
    body.push_back(0xFF);  // reserved_future_use
    for (const SdtService& service : services) {
        PutU16(body, service.serviceId);
        body.push_back(static_cast<uint8_t>(0xE0 | (service.eitFlags & 0x1F)));
        PutLength12(body,
                    static_cast<uint8_t>(((service.runningStatus & 0x07) << 1) |
                                         (service.freeCaMode ? 1 : 0)),
                    service.descriptors.size(), "service descriptors longer than 4095 bytes");
        body.insert(body.end(), service.descriptors.begin(), service.descriptors.end());
    }
    return LongSection(
        {tableId, transportStreamId, versionNumber, currentNext, sectionNumber, lastSectionNumber},
        body);
}

Bytes CdtLogoSection::Build() const {
    if (data.size() > 0xFFFF) throw std::length_error("logo data longer than data_size can say");
    Bytes body;
    PutU16(body, originalNetworkId);
    body.push_back(dataType);
    PutLength12(body, 0xF, descriptors.size(), "CDT descriptors longer than 4095 bytes");
    body.insert(body.end(), descriptors.begin(), descriptors.end());
    body.push_back(logoType);
    PutU16(body, static_cast<uint16_t>(0xFE00 | (logoId & 0x01FF)));
    PutU16(body, static_cast<uint16_t>(0xF000 | (logoVersion & 0x0FFF)));
    PutU16(body, static_cast<uint16_t>(data.size()));
    body.insert(body.end(), data.begin(), data.end());
    return LongSection(
        {kCdt, downloadDataId, versionNumber, currentNext, sectionNumber, lastSectionNumber}, body);
}

}  // namespace tswriter
