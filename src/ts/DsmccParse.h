#pragma once

#include <cstdint>
#include <optional>

#include "DsmccMessages.h"
#include "SectionParse.h"

// DSM-CC sections of a data carousel: DownloadInfoIndication (0x3B) and DownloadDataBlock
// (0x3C), up to 4096 bytes each. Only sections with section_syntax_indicator 1 and a good
// CRC_32 are taken: the other form ends with a checksum that broadcasts of these carousels do
// not use, and a logo must not come from unchecked bytes.
class DsmccParse : public SectionParse {
protected:
    bool IsTargetTable(uint8_t tableId) const override;
    bool IsSectionComplete() const override;
    // Leaves `buffer` as it is, so that `block.data` stays valid until the push's section
    // handler returns; the base empties it right after.
    void Parse() override;

public:
    DsmccParse();
    ~DsmccParse() override = default;
    using SectionParse::PushPacket;
    void Reset() override;

    // The message of the section parsed last: one of the two, or neither when the section held
    // no readable download message.
    std::optional<DownloadInfo> info;
    std::optional<DownloadDataBlock> block;
};
