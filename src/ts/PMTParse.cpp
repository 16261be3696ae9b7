#include "PMTParse.h"

#include "ByteReader.h"

namespace {

constexpr uint8_t kStreamIdentifierDescriptor = 0x52;

}  // namespace

PMTParse::PMTParse() {
    maxSectionLength = 1021;
}

bool PMTParse::IsTargetTable(uint8_t tableId) const {
    return tableId == 0x02;
}

void PMTParse::Reset() {
    SectionParse::Reset();
    streams.clear();
}

void PMTParse::Parse() {
    streams.clear();
    ByteReader section(buffer.data(), SectionSize() - 4);
    section.Skip(3);  // table_id, section_length
    programNumber = section.U16();
    section.Skip(3);                       // version, section numbers
    section.Skip(2);                       // PCR_PID
    section.Skip(section.U16() & 0x0FFF);  // program_info
    while (section.Ok() && !section.AtEnd()) {
        PmtStream stream;
        stream.streamType = section.U8();
        stream.elementaryPid = section.U16() & 0x1FFF;
        ByteReader descriptors = section.Sub(section.U16() & 0x0FFF);
        while (descriptors.Ok() && !descriptors.AtEnd()) {
            const uint8_t tag = descriptors.U8();
            ByteReader body = descriptors.Sub(descriptors.U8());
            if (tag == kStreamIdentifierDescriptor && body.Remaining() >= 1) {
                stream.componentTag = body.U8();
            }
        }
        if (!descriptors.Ok()) section.Skip(section.Remaining() + 1);  // fails the section
        streams.push_back(stream);
    }
    if (!section.Ok()) streams.clear();
    buffer.clear();
}
