#pragma once

#include <cstdint>
#include <vector>

#include "SectionParse.h"

// One program of a program association section.
struct PatProgram {
    uint16_t programNumber = 0;
    uint16_t programMapPid = 0;

    bool operator==(const PatProgram&) const = default;
};

// Program Association Table (0x00, PID 0x0000): where each service's PMT travels.
class PATParse : public SectionParse {
protected:
    bool IsTargetTable(uint8_t tableId) const override;
    void Parse() override;

public:
    PATParse();
    ~PATParse() override = default;
    using SectionParse::PushPacket;
    void Reset() override;

    // Results of the section parsed last: its transport_stream_id, whether it is the table's only
    // section, and its programs (the network PID's entry, program 0, left out).
    uint16_t transportStreamId = 0;
    bool wholeTable = false;
    std::vector<PatProgram> programs;
};
