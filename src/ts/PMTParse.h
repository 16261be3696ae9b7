#pragma once

#include <cstdint>
#include <vector>

#include "SectionParse.h"

// One elementary stream of a program map section.
struct PmtStream {
    uint8_t streamType = 0;
    uint16_t elementaryPid = 0;
    // component_tag of its stream_identifier_descriptor (0x52); -1 without one.
    int componentTag = -1;

    bool operator==(const PmtStream&) const = default;
};

// Program Map Table (0x02): a service's elementary streams and their component tags.
class PMTParse : public SectionParse {
protected:
    bool IsTargetTable(uint8_t tableId) const override;
    void Parse() override;

public:
    PMTParse();
    ~PMTParse() override = default;
    using SectionParse::PushPacket;
    void Reset() override;

    // Results of the section parsed last. A section whose stream loop runs past its end gives
    // no streams: what it holds cannot be told apart from garbage.
    uint16_t programNumber = 0;
    std::vector<PmtStream> streams;
};
