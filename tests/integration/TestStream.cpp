#include "TestStream.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "Descriptors.h"
#include "LogoPng.h"
#include "Packetizer.h"
#include "Sections.h"

namespace insigno::it {

Bytes CdtSection(std::uint16_t networkId, const CdtLogo& logo) {
    tswriter::CdtLogoSection cdt;
    cdt.downloadDataId = logo.downloadDataId;
    cdt.originalNetworkId = networkId;
    cdt.logoType = logo.logoType;
    cdt.logoId = logo.logoId;
    cdt.logoVersion = logo.logoVersion;
    cdt.data = logo.png;
    return cdt.Build();
}

Bytes BuildStream(std::uint16_t networkId, const std::vector<ServiceLogo>& services,
                  const std::vector<CdtLogo>& logos, int cycles) {
    tswriter::SdtSection sdt;
    sdt.transportStreamId = 0x7FE1;
    sdt.originalNetworkId = networkId;
    for (const auto& service : services) {
        tswriter::SdtService entry;
        entry.serviceId = service.serviceId;
        entry.descriptors = tswriter::LogoTransmissionType1(service.logoId, service.logoVersion,
                                                            service.downloadDataId);
        sdt.services.push_back(entry);
    }
    std::vector<Bytes> cdtSections;
    for (const auto& logo : logos) cdtSections.push_back(CdtSection(networkId, logo));
    tswriter::Packetizer sdtPackets(tswriter::kSdtPid), cdtPackets(tswriter::kCdtPid);
    Bytes stream;
    auto append = [&stream](const Bytes& bytes) {
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    };
    std::uint8_t filler = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        append(sdtPackets.OnePerPacket({sdt.Build()}));
        append(tswriter::FillerPacket(0x0100, filler++ & 0x0F));
        append(cdtPackets.OnePerPacket(cdtSections));
        append(tswriter::FillerPacket(0x0100, filler++ & 0x0F));
    }
    return stream;
}

Bytes BuildSectionStream(const std::vector<Bytes>& sdt, const std::vector<Bytes>& cdt, int cycles) {
    tswriter::Packetizer sdtPackets(tswriter::kSdtPid), cdtPackets(tswriter::kCdtPid);
    Bytes stream;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        for (const Bytes& part : {sdtPackets.BackToBack(sdt), cdtPackets.BackToBack(cdt)}) {
            stream.insert(stream.end(), part.begin(), part.end());
        }
    }
    return stream;
}

Bytes SplitLogo(std::uint8_t logoType, std::uint8_t left, std::uint8_t right) {
    const LogoSize size = SizeForLogoType(logoType);
    const int width = size.width;
    return WriteLogoPng(size.width, size.height,
                        [=](int x, int) { return x < width / 2 ? left : right; });
}

LogoRecord Record(std::uint16_t networkId, const CdtLogo& logo) {
    LogoRecord record;
    record.originalNetworkId = networkId;
    record.logoId = logo.logoId;
    record.logoVersion = logo.logoVersion;
    record.logoType = logo.logoType;
    record.data = logo.png;
    record.ApplySizeByType();
    return record;
}

std::set<std::string> LogoFiles(const std::filesystem::path& directory) {
    std::set<std::string> names;
    if (!std::filesystem::exists(directory)) return names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t PrimaryColour(std::uint8_t index) {
    return ((index & 1) ? 0xFF0000u : 0) | ((index & 2) ? 0x00FF00u : 0) |
           ((index & 4) ? 0x0000FFu : 0);
}

}  // namespace insigno::it
