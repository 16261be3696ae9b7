#pragma once

#include <cstdint>

#include "LogoRecord.h"
#include "SectionParse.h"

// Common Data Table (0xC8) sections carrying logo data (data_type 0x01): one logo per section.
class CDTParse : public SectionParse {
protected:
    bool IsTargetTable(uint8_t tableId) const override;
    void Parse() override;
    // The base checks, then data_type must be 0x01.
    bool IsSectionComplete() const override;

public:
    ~CDTParse() override = default;
    // Clears `logo`, then assembles as the base does.
    void PushPacket(const uint8_t* begin, const uint8_t* end) override;
    using SectionParse::PushPacket;
    void Reset() override;

    // The logo of the section parsed last (during the last push); no bytes when none was parsed
    // or that section's logo fields ran into its CRC.
    LogoRecord logo;
    // download_data_id of the last section parsed.
    uint16_t downloadDataId = 0;

private:
    void ParseSection();
};
