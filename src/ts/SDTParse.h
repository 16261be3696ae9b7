#pragma once

#include <cstdint>
#include <map>

#include "SectionParse.h"

class ByteReader;

// One service's logo reference from its logo transmission descriptor (ARIB STD-B10).
struct ServiceLogoInfo {
    uint8_t transmissionType = 0;
    uint16_t logoId = 0;
    uint16_t logoVersion = 0;
    uint16_t downloadDataId = 0;

    bool operator==(const ServiceLogoInfo&) const = default;
};

// Service Description Table (0x42 actual, 0x46 other): the logo reference of each service.
class SDTParse : public SectionParse {
protected:
    bool IsTargetTable(uint8_t table) const override;
    void Parse() override;

public:
    ~SDTParse() override = default;
    // Clears `services`, then assembles as the base does.
    void PushPacket(const uint8_t* begin, const uint8_t* end) override;
    using SectionParse::PushPacket;
    void Reset() override;

    // Logo references of the section parsed last (during the last push), by service id. Each
    // section starts afresh: sections of several transport streams or networks share the PID.
    std::map<uint16_t, ServiceLogoInfo> services;
    // original_network_id of the last section parsed.
    uint16_t originalNetworkId = 0;
    // table_id of the last section parsed: only the actual SDT (0x42) speaks for the stream
    // being received.
    uint8_t tableId = 0;

private:
    void ParseSection();
    // Reads one service's descriptor loop; false when a descriptor runs past the loop.
    bool ParseDescriptors(uint16_t serviceId, ByteReader& descriptors);
};
