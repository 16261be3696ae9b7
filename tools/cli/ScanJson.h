#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "LogoRecord.h"
#include "SDTParse.h"

// One JSON line (without the newline) for a push that gave SDT logo references, services in
// ascending id order as the map holds them.
std::string SdtJsonLine(uint64_t packet, uint16_t originalNetworkId,
                        const std::map<uint16_t, ServiceLogoInfo>& services);

// One JSON line (without the newline) for a push that gave a CDT logo.
std::string CdtJsonLine(uint64_t packet, uint16_t downloadDataId, const LogoRecord& logo);
