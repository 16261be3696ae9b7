#include "CDTParse.h"

#include "ByteReader.h"

namespace {

constexpr uint8_t kLogoData = 0x01;
constexpr size_t kDataTypeOffset = 10;

}  // namespace

bool CDTParse::IsTargetTable(uint8_t tableId) const {
    return tableId == 0xC8;
}

bool CDTParse::IsSectionComplete() const {
    if (!SectionParse::IsSectionComplete()) return false;
    // data_type must lie before the CRC to be part of the section at all.
    return kDataTypeOffset + 4 < SectionSize() && buffer[kDataTypeOffset] == kLogoData;
}

void CDTParse::PushPacket(const uint8_t* begin, const uint8_t* end) {
    logo.Clear();
    SectionParse::PushPacket(begin, end);
}

void CDTParse::Reset() {
    SectionParse::Reset();
    logo.Clear();
}

void CDTParse::Parse() {
    logo.Clear();
    ParseSection();
    buffer.clear();
}

// descriptors_loop_length and data_size are taken at face value; a section whose logo fields or
// bytes would run into the CRC is dropped whole.
void CDTParse::ParseSection() {
    ByteReader section(buffer.data(), SectionSize() - 4);
    section.Skip(3);  // table_id, section_length
    const uint16_t dataId = section.U16();
    section.Skip(3);  // version, section numbers
    const uint16_t networkId = section.U16();
    section.Skip(1);                       // data_type, checked by IsSectionComplete
    section.Skip(section.U16() & 0x0FFF);  // descriptors, not used
    const uint8_t logoType = section.U8();
    const uint16_t logoId = section.U16() & 0x01FF;
    const uint16_t logoVersion = section.U16() & 0x0FFF;
    const size_t dataSize = section.U16();
    ByteReader data = section.Sub(dataSize);
    if (!section.Ok()) return;

    downloadDataId = dataId;
    logo.data.assign(data.Position(), data.Position() + dataSize);
    logo.originalNetworkId = networkId;
    logo.logoId = logoId;
    logo.logoVersion = logoVersion;
    logo.logoType = logoType;
    logo.ApplySizeByType();
}
