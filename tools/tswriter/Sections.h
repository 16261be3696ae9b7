#pragma once

#include <cstdint>
#include <vector>

#include "Descriptors.h"

namespace tswriter {

inline constexpr uint8_t kSdtActual = 0x42;
inline constexpr uint8_t kSdtOther = 0x46;
inline constexpr uint8_t kCdt = 0xC8;
inline constexpr uint8_t kCdtLogoData = 0x01;

// Fields of the long section header (ISO/IEC 13818-1) after section_length.
struct LongHeader {
    uint8_t tableId = 0;
    uint16_t tableIdExtension = 0;
    uint8_t versionNumber = 0;  // 5 bits
    bool currentNext = true;
    uint8_t sectionNumber = 0;
    uint8_t lastSectionNumber = 0;
    // section_syntax_indicator, the private or '0' bit and two reserved bits: 1111 for SI,
    // 1011 for PSI and DSM-CC (whose private_indicator is the complement of the first).
    uint8_t flagBits = 0xF;
};

// A complete long section: header, body and CRC_32, reserved bits sent as 1. Throws
// std::length_error when section_length would not fit its 12 bits.
Bytes LongSection(const LongHeader& header, const Bytes& body);

// Rewrites the last four bytes of a section as the CRC_32 of the bytes before them, so tests can
// alter a field and still send a section that passes the check.
void RecomputeCrc(Bytes& section);

struct SdtService {
    uint16_t serviceId = 0;
    uint8_t eitFlags = 0;  // EIT_user_defined_flags, EIT_schedule_flag, EIT_present_following_flag
    uint8_t runningStatus = 4;  // running
    bool freeCaMode = false;
    Bytes descriptors;  // encoded descriptors, back to back
};

struct SdtSection {
    uint8_t tableId = kSdtActual;
    uint16_t transportStreamId = 0;
    uint8_t versionNumber = 0;
    bool currentNext = true;
    uint8_t sectionNumber = 0;
    uint8_t lastSectionNumber = 0;
    uint16_t originalNetworkId = 0;
    std::vector<SdtService> services;

    Bytes Build() const;
};

// A CDT section carrying one logo.
struct CdtLogoSection {
    uint16_t downloadDataId = 0;
    uint8_t versionNumber = 0;
    bool currentNext = true;
    uint8_t sectionNumber = 0;
    uint8_t lastSectionNumber = 0;
    uint16_t originalNetworkId = 0;
    uint8_t dataType = kCdtLogoData;
    Bytes descriptors;
    uint8_t logoType = 0;
    uint16_t logoId = 0;       // 9 bits
    uint16_t logoVersion = 0;  // 12 bits
    Bytes data;                // the PNG bytes

    Bytes Build() const;
};

}  // namespace tswriter
