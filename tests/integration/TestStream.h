#pragma once

// Streams and logos for the end-to-end tests, made with the project's stream writer.

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "LogoRecord.h"

namespace insigno::it {

using Bytes = std::vector<std::uint8_t>;

// A service of the SDT with a logo transmission descriptor of type 1.
struct ServiceLogo {
    std::uint16_t serviceId = 0;
    std::uint16_t logoId = 0;
    std::uint16_t logoVersion = 0;
    std::uint16_t downloadDataId = 0;
};

struct CdtLogo {
    std::uint16_t downloadDataId = 0;
    std::uint16_t logoId = 0;
    std::uint16_t logoVersion = 0;
    std::uint8_t logoType = 5;
    Bytes png;
};

// The CDT logo section that carries `logo` on network `networkId`.
Bytes CdtSection(std::uint16_t networkId, const CdtLogo& logo);

// Cycles of: SDT (actual) of `networkId`, filler, one CDT section per logo, filler.
Bytes BuildStream(std::uint16_t networkId, const std::vector<ServiceLogo>& services,
                  const std::vector<CdtLogo>& logos, int cycles = 2);

// Cycles of: the SDT sections, then the CDT sections, each packed back to back on its PID.
Bytes BuildSectionStream(const std::vector<Bytes>& sdt, const std::vector<Bytes>& cdt,
                         int cycles = 2);

// A logo PNG as broadcast (indexed colour, no PLTE) of the size of `logoType`: the left half
// palette index `left`, the right half `right`.
Bytes SplitLogo(std::uint8_t logoType, std::uint8_t left, std::uint8_t right);

// The record a logo file of the store holds for this logo.
LogoRecord Record(std::uint16_t networkId, const CdtLogo& logo);

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
// The names of the files in `directory`; none when it does not exist.
std::set<std::string> LogoFiles(const std::filesystem::path& directory);
Bytes ReadFile(const std::filesystem::path& path);

// Opaque colours (0xRRGGBB) of the full-intensity entries 0-7 of the broadcast palette.
std::uint32_t PrimaryColour(std::uint8_t index);

// The margin of a picture check: natively the stand-in's picture; under Wine what its Direct3D 9
// presented, read with xwd, where texel edges come out softened by a pixel.
#ifdef _WIN32
constexpr int EDGE = 1;
#else
constexpr int EDGE = 0;
#endif

}  // namespace insigno::it
