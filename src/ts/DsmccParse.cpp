#include "DsmccParse.h"

namespace {

constexpr uint8_t kDownloadInfoTable = 0x3B;
constexpr uint8_t kDownloadDataTable = 0x3C;
constexpr size_t kSectionHeaderSize = 8;
constexpr size_t kCrcSize = 4;

}  // namespace

DsmccParse::DsmccParse() {
    maxSectionLength = 4093;
}

bool DsmccParse::IsTargetTable(uint8_t tableId) const {
    return tableId == kDownloadInfoTable || tableId == kDownloadDataTable;
}

bool DsmccParse::IsSectionComplete() const {
    return SectionParse::IsSectionComplete() && (buffer[1] & 0x80) != 0 &&
           SectionSize() >= kSectionHeaderSize + kCrcSize;
}

void DsmccParse::Reset() {
    SectionParse::Reset();
    info.reset();
    block.reset();
}

void DsmccParse::Parse() {
    info.reset();
    block.reset();
    const uint8_t* message = buffer.data() + kSectionHeaderSize;
    const size_t size = SectionSize() - kSectionHeaderSize - kCrcSize;
    if (buffer[0] == kDownloadInfoTable) {
        info = DecodeDownloadInfo(message, size);
    } else {
        block = DecodeDownloadDataBlock(message, size);
    }
}
