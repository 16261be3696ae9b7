#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "LogoModule.h"
#include "LogoRecord.h"
#include "SDTParse.h"

// The scan's lines are written into `line` (newline included), whose memory is reused from one
// line to the next: a recording dense in tables gives a line for every few packets.

// The line of a section that gave SDT logo references, services in ascending id order as the map
// holds them.
void SdtJsonLine(std::string& line, uint64_t packet, uint16_t originalNetworkId,
                 const std::map<uint16_t, ServiceLogoInfo>& services);

// The line of a section that gave a CDT logo whose bytes have the SHA-256 `sha256`.
void CdtJsonLine(std::string& line, uint64_t packet, uint16_t downloadDataId,
                 const LogoRecord& logo, const std::string& sha256);

// The line of one logo of a completed carousel logo module; width and height by its type.
void CarouselJsonLine(std::string& line, uint64_t packet, const CarouselLogo& logo,
                      const std::string& sha256);

struct LogoDirectoryEntry;

// One JSON line (without the newline) for a file of a logo directory: its name, the ids and type
// its name gives (when it is a logo file name), its size when read, and the start-up scan's action.
std::string LogoFileJsonLine(const LogoDirectoryEntry& entry);
