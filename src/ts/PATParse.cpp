#include "PATParse.h"

#include "ByteReader.h"

PATParse::PATParse() {
    maxSectionLength = 1021;
}

bool PATParse::IsTargetTable(uint8_t tableId) const {
    return tableId == 0x00;
}

void PATParse::Reset() {
    SectionParse::Reset();
    programs.clear();
}

void PATParse::Parse() {
    programs.clear();
    ByteReader section(buffer.data(), SectionSize() - 4);
    section.Skip(3);  // table_id, section_length
    transportStreamId = section.U16();
    section.Skip(1);  // version, current_next_indicator
    const uint8_t sectionNumber = section.U8();
    const uint8_t lastSectionNumber = section.U8();
    wholeTable = sectionNumber == 0 && lastSectionNumber == 0;
    // Four bytes per program; a cut entry at the end is dropped.
    while (section.Remaining() >= 4) {
        const uint16_t programNumber = section.U16();
        const uint16_t pid = section.U16() & 0x1FFF;
        if (programNumber != 0) programs.push_back({programNumber, pid});
    }
    buffer.clear();
}
