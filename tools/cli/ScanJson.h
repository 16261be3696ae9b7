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

struct LogoDirectoryEntry;

// One JSON line (without the newline) for a file of a logo directory: its name, the ids and type
// its name gives (when it is a logo file name), its size when read, and the start-up scan's action.
std::string LogoFileJsonLine(const LogoDirectoryEntry& entry);
