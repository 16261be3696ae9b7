#include "SDTParse.h"

#include "ByteReader.h"

namespace {

constexpr uint8_t kLogoTransmissionDescriptor = 0xCF;

}  // namespace

bool SDTParse::IsTargetTable(uint8_t table) const {
    return table == 0x42 || table == 0x46;
}

void SDTParse::PushPacket(const uint8_t* begin, const uint8_t* end) {
    services.clear();
    SectionParse::PushPacket(begin, end);
}

void SDTParse::Reset() {
    SectionParse::Reset();
    services.clear();
}

void SDTParse::Parse() {
    services.clear();
    ParseSection();
    buffer.clear();
}

// Lengths in the section are taken at face value; an entry that runs past its loop ends the parse
// of this section, keeping the entries read before it.
void SDTParse::ParseSection() {
    // IsSectionComplete guarantees the whole section is in `buffer`; the last 4 bytes are the CRC.
    ByteReader section(buffer.data(), SectionSize() - 4);
    const uint8_t table = section.U8();
    section.Skip(7);  // section_length to last_section_number
    const uint16_t networkId = section.U16();
    section.Skip(1);  // reserved_future_use
    if (!section.Ok()) return;
    tableId = table;
    originalNetworkId = networkId;

    while (!section.AtEnd()) {
        const uint16_t serviceId = section.U16();
        section.Skip(1);  // EIT flags
        const size_t loopLength = section.U16() & 0x0FFF;
        ByteReader descriptors = section.Sub(loopLength);
        if (!section.Ok() || !ParseDescriptors(serviceId, descriptors)) return;
    }
}

bool SDTParse::ParseDescriptors(uint16_t serviceId, ByteReader& descriptors) {
    while (!descriptors.AtEnd()) {
        const uint8_t tag = descriptors.U8();
        const uint8_t length = descriptors.U8();
        if (tag != kLogoTransmissionDescriptor) {
            descriptors.Skip(length);
            if (!descriptors.Ok()) return false;
            continue;
        }
        // Types 1 and 2 have the standard's fixed sizes whatever descriptor_length says; every
        // other type is skipped by descriptor_length.
        const uint8_t type = descriptors.PeekU8();
        if (type == 1) {
            descriptors.Skip(1);
            const uint16_t logoId = descriptors.U16() & 0x01FF;
            const uint16_t logoVersion = descriptors.U16() & 0x0FFF;
            const uint16_t downloadDataId = descriptors.U16();
            if (!descriptors.Ok()) return false;
            services.insert_or_assign(serviceId,
                                      ServiceLogoInfo{1, logoId, logoVersion, downloadDataId});
        } else if (type == 2) {
            descriptors.Skip(1);
            const uint16_t logoId = descriptors.U16() & 0x01FF;
            if (!descriptors.Ok()) return false;
            // A type 2 service shares the logo of a type 1 service; the lowest service id wins.
            ServiceLogoInfo info{2, logoId, 0, 0};
            for (const auto& [id, other] : services) {
                if (other.transmissionType == 1 && other.logoId == logoId) {
                    info.logoVersion = other.logoVersion;
                    info.downloadDataId = other.downloadDataId;
                    break;
                }
            }
            services.insert_or_assign(serviceId, info);
        } else {
            descriptors.Skip(length);
            if (!descriptors.Ok()) return false;
            if (type == 3) services.insert_or_assign(serviceId, ServiceLogoInfo{3, 0, 0, 0});
        }
    }
    return true;
}
