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

// The logo file name: network_logo_version_type in upper-case hex, zero-padded to 4, 3, 3 and 2
// digits (a wider value is written in full), e.g. 7FE0_001_002_05.
std::string LogoFileName(const LogoRecord& logo);
