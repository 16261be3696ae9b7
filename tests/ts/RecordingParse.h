#pragma once

#include <vector>

#include "SectionParse.h"

// Keeps every section that the assembler hands over, to test assembly apart from any table.
class RecordingParse : public SectionParse {
public:
    static constexpr uint8_t kTable = 0x42;

    std::vector<std::vector<uint8_t>> parsed;

protected:
    bool IsTargetTable(uint8_t tableId) const override { return tableId == kTable; }
    void Parse() override {
        parsed.emplace_back(buffer.begin(), buffer.begin() + SectionSize());
        buffer.clear();
    }
};
