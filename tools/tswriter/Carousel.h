#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Sections.h"

namespace tswriter {

inline constexpr uint16_t kPatPid = 0x0000;

struct PatProgram {
    uint16_t programNumber = 0;
    uint16_t pid = 0;
};

// A program association section (PSI).
Bytes PatSection(uint16_t transportStreamId, const std::vector<PatProgram>& programs,
                 uint8_t versionNumber = 0);

struct PmtStream {
    uint8_t streamType = 0x0D;  // ISO/IEC 13818-6 type D: DSM-CC sections
    uint16_t pid = 0;
    int componentTag = -1;  // a stream_identifier_descriptor when 0 to 255
};

// A program map section (PSI), no PCR.
Bytes PmtSection(uint16_t programNumber, const std::vector<PmtStream>& streams,
                 uint8_t versionNumber = 0);

struct DiiModuleEntry {
    uint16_t moduleId = 0;
    uint32_t moduleSize = 0;
    uint8_t moduleVersion = 0;
    std::string name;  // a Name descriptor (0x02) when not empty
    Bytes extraInfo;   // further moduleInfo descriptors, encoded
};

// A DownloadInfoIndication section (0x3B): the DSM-CC message header, the download's
// parameters, no compatibility descriptor, the modules and no private data.
struct DiiSection {
    uint32_t transactionId = 0x80000002;
    uint32_t downloadId = 0;
    uint16_t blockSize = 4066;
    uint8_t versionNumber = 0;
    std::vector<DiiModuleEntry> modules;

    Bytes Build() const;
};

// A DownloadDataBlock section (0x3C): table_id_extension moduleId, version_number the module's
// version, section_number the block number's low byte.
struct DdbSection {
    uint32_t downloadId = 0;
    uint16_t moduleId = 0;
    uint8_t moduleVersion = 0;
    uint16_t blockNumber = 0;
    uint8_t lastSectionNumber = 0;
    Bytes data;

    Bytes Build() const;
};

// The DDB sections of a module cut into blocks of `blockSize`.
std::vector<Bytes> ModuleBlocks(uint32_t downloadId, uint16_t moduleId, uint8_t moduleVersion,
                                const Bytes& module, uint16_t blockSize);

struct CarouselService {
    uint16_t originalNetworkId = 0;
    uint16_t transportStreamId = 0;
    uint16_t serviceId = 0;
};

struct CarouselLogoEntry {
    uint16_t logoId = 0;
    std::vector<CarouselService> services;
    Bytes png;
};

// The bytes of a logo module (ARIB STD-B21): logo_type, number_of_loop, then per logo its id,
// services and PNG.
Bytes LogoModule(uint8_t logoType, const std::vector<CarouselLogoEntry>& logos);

}  // namespace tswriter
