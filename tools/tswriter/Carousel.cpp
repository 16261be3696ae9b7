#include "Carousel.h"

#include <algorithm>
#include <stdexcept>

namespace tswriter {

namespace {

constexpr uint8_t kPsiFlags = 0xB;
constexpr uint8_t kDiiTable = 0x3B;
constexpr uint8_t kDdbTable = 0x3C;

void PutU16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void PutU32(Bytes& out, uint32_t value) {
    PutU16(out, value >> 16);
    PutU16(out, value & 0xFFFF);
}

// dsmccMessageHeader (or dsmccDownloadDataHeader) without adaptation, then the body.
Bytes DsmccMessage(uint16_t messageId, uint32_t id, const Bytes& body) {
    if (body.size() > 0xFFFF) throw std::length_error("DSM-CC message too long");
    Bytes out{0x11, 0x03};
    PutU16(out, messageId);
    PutU32(out, id);
    out.push_back(0xFF);  // reserved
    out.push_back(0x00);  // adaptationLength
    PutU16(out, static_cast<uint16_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace

Bytes PatSection(uint16_t transportStreamId, const std::vector<PatProgram>& programs,
                 uint8_t versionNumber) {
    Bytes body;
    for (const PatProgram& program : programs) {
        PutU16(body, program.programNumber);
        PutU16(body, 0xE000 | program.pid);
    }
    LongHeader header{0x00, transportStreamId, versionNumber, true, 0, 0, kPsiFlags};
    return LongSection(header, body);
}

Bytes PmtSection(uint16_t programNumber, const std::vector<PmtStream>& streams,
                 uint8_t versionNumber) {
    Bytes body;
    PutU16(body, 0xE000 | 0x1FFF);  // no PCR
    PutU16(body, 0xF000);           // program_info_length 0
    for (const PmtStream& stream : streams) {
        body.push_back(stream.streamType);
        PutU16(body, 0xE000 | stream.pid);
        if (stream.componentTag >= 0) {
            PutU16(body, 0xF000 | 3);
            body.insert(body.end(), {0x52, 0x01, static_cast<uint8_t>(stream.componentTag)});
        } else {
            PutU16(body, 0xF000);
        }
    }
    LongHeader header{0x02, programNumber, versionNumber, true, 0, 0, kPsiFlags};
    return LongSection(header, body);
}

Bytes DiiSection::Build() const {
    Bytes body;
    PutU32(body, downloadId);
    PutU16(body, blockSize);
    body.push_back(0);  // windowSize
    body.push_back(0);  // ackPeriod
    PutU32(body, 0);    // tCDownloadWindow
    PutU32(body, 0);    // tCDownloadScenario
    PutU16(body, 0);    // compatibilityDescriptorLength
    PutU16(body, static_cast<uint16_t>(modules.size()));
    for (const DiiModuleEntry& module : modules) {
        Bytes info;
        if (!module.name.empty())
            info = Descriptor(0x02, Bytes(module.name.begin(), module.name.end()));
        info.insert(info.end(), module.extraInfo.begin(), module.extraInfo.end());
        if (info.size() > 0xFF) throw std::length_error("moduleInfo longer than 255 bytes");
        PutU16(body, module.moduleId);
        PutU32(body, module.moduleSize);
        body.push_back(module.moduleVersion);
        body.push_back(static_cast<uint8_t>(info.size()));
        body.insert(body.end(), info.begin(), info.end());
    }
    PutU16(body, 0);  // privateDataLength
    LongHeader header{
        kDiiTable, static_cast<uint16_t>(transactionId & 0xFFFF), versionNumber, true, 0, 0,
        kPsiFlags};
    return LongSection(header, DsmccMessage(0x1002, transactionId, body));
}

Bytes DdbSection::Build() const {
    Bytes body;
    PutU16(body, moduleId);
    body.push_back(moduleVersion);
    body.push_back(0xFF);  // reserved
    PutU16(body, blockNumber);
    body.insert(body.end(), data.begin(), data.end());
    LongHeader header{kDdbTable,
                      moduleId,
                      static_cast<uint8_t>(moduleVersion & 0x1F),
                      true,
                      static_cast<uint8_t>(blockNumber),
                      lastSectionNumber,
                      kPsiFlags};
    return LongSection(header, DsmccMessage(0x1003, downloadId, body));
}

std::vector<Bytes> ModuleBlocks(uint32_t downloadId, uint16_t moduleId, uint8_t moduleVersion,
                                const Bytes& module, uint16_t blockSize) {
    if (blockSize == 0) throw std::invalid_argument("block size 0");
    const size_t blocks = (module.size() + blockSize - 1) / blockSize;
    if (blocks > 0x10000) throw std::length_error("module needs more than 65536 blocks");
    std::vector<Bytes> sections;
    for (size_t n = 0; n < blocks; ++n) {
        DdbSection ddb;
        ddb.downloadId = downloadId;
        ddb.moduleId = moduleId;
        ddb.moduleVersion = moduleVersion;
        ddb.blockNumber = static_cast<uint16_t>(n);
        ddb.lastSectionNumber = static_cast<uint8_t>(blocks - 1);
        const size_t from = n * blockSize;
        const size_t to = std::min(module.size(), from + blockSize);
        ddb.data.assign(module.begin() + static_cast<std::ptrdiff_t>(from),
                        module.begin() + static_cast<std::ptrdiff_t>(to));
        sections.push_back(ddb.Build());
    }
    return sections;
}

Bytes LogoModule(uint8_t logoType, const std::vector<CarouselLogoEntry>& logos) {
    Bytes out{logoType};
    PutU16(out, static_cast<uint16_t>(logos.size()));
    for (const CarouselLogoEntry& logo : logos) {
        if (logo.services.size() > 0xFF) throw std::length_error("more than 255 services");
        if (logo.png.size() > 0xFFFF) throw std::length_error("logo longer than 65535 bytes");
        PutU16(out, 0xFE00 | (logo.logoId & 0x01FF));
        out.push_back(static_cast<uint8_t>(logo.services.size()));
        for (const CarouselService& service : logo.services) {
            PutU16(out, service.originalNetworkId);
            PutU16(out, service.transportStreamId);
            PutU16(out, service.serviceId);
        }
        PutU16(out, static_cast<uint16_t>(logo.png.size()));
        out.insert(out.end(), logo.png.begin(), logo.png.end());
    }
    return out;
}

}  // namespace tswriter
