#include <array>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "CarouselStream.h"
#include "LogoPng.h"
#include "LogoRecord.h"
#include "Packetizer.h"
#include "Sections.h"
#include "StreamSpec.h"

namespace {

using tswriter::Bytes;

constexpr std::array<uint16_t, 3> kFillerPids{0x0100, 0x0110, tswriter::kNullPid};
// White letters on a background chosen by the logo id, in a frame chosen by the version.
constexpr std::array<uint8_t, 6> kBackgrounds{4, 9, 12, 5, 10, 13};
constexpr std::array<uint8_t, 4> kFrames{3, 6, 2, 1};
constexpr uint8_t kWhite = 7;
constexpr uint32_t kTicksPerPacket = 2000;

Bytes ServiceDescriptors(const ServiceSpec& service) {
    Bytes descriptors;
    if (!service.name.empty()) {
        descriptors = tswriter::ServiceDescriptor(0x01, "Insigno", service.name);
    }
    Bytes logo;
    switch (service.transmissionType) {
        case 1:
            logo = tswriter::LogoTransmissionType1(service.logoId, service.logoVersion,
                                                   service.downloadDataId);
            break;
        case 2:
            logo = tswriter::LogoTransmissionType2(service.logoId);
            break;
        case 3:
            logo = tswriter::LogoTransmissionType3(service.logoChar);
            break;
        default:
            break;
    }
    descriptors.insert(descriptors.end(), logo.begin(), logo.end());
    return descriptors;
}

Bytes SdtSectionOf(const StreamSpec& plan) {
    tswriter::SdtSection sdt;
    sdt.tableId = plan.sdtOther ? tswriter::kSdtOther : tswriter::kSdtActual;
    sdt.transportStreamId = plan.transportStreamId;
    sdt.originalNetworkId = plan.originalNetworkId;
    for (const ServiceSpec& service : plan.services) {
        tswriter::SdtService entry;
        entry.serviceId = service.serviceId;
        entry.descriptors = ServiceDescriptors(service);
        sdt.services.push_back(entry);
    }
    return sdt.Build();
}

Bytes CdtSectionOf(const StreamSpec& plan, const LogoSpec& logo) {
    tswriter::CdtLogoSection cdt;
    cdt.downloadDataId = logo.downloadDataId;
    cdt.originalNetworkId = plan.originalNetworkId;
    cdt.logoType = logo.logoType;
    cdt.logoId = logo.logoId;
    cdt.logoVersion = logo.logoVersion;
    cdt.data = LogoPngOf(logo);
    return cdt.Build();
}

// Appends 188-byte packets in the plan's framing.
class FramedOutput {
public:
    explicit FramedOutput(size_t size) : packetSize(size) {}

    void Append(const Bytes& packets) {
        for (size_t at = 0; at + tswriter::kPacketSize <= packets.size();
             at += tswriter::kPacketSize) {
            if (packetSize == 192) {
                // TP_extra_header: copy permission 0, then a 30-bit arrival time stamp.
                const uint32_t stamp = (count * kTicksPerPacket) & 0x3FFFFFFF;
                for (int shift = 24; shift >= 0; shift -= 8) {
                    bytes.push_back(static_cast<uint8_t>(stamp >> shift));
                }
            }
            bytes.insert(bytes.end(), packets.begin() + static_cast<std::ptrdiff_t>(at),
                         packets.begin() + static_cast<std::ptrdiff_t>(at + tswriter::kPacketSize));
            if (packetSize == 204) bytes.insert(bytes.end(), 16, 0x00);  // parity not computed
            ++count;
        }
    }

    void Garbage(size_t size) {
        // Deterministic junk that now and then holds a stray sync byte.
        for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(i * 151 + 7));
    }

    Bytes bytes;

private:
    size_t packetSize;
    uint32_t count = 0;
};

}  // namespace

std::vector<uint8_t> LogoPngOf(const LogoSpec& logo) {
    if (!logo.png.empty()) return logo.png;
    const LogoSize size = SizeForLogoType(logo.logoType);
    // Types without a size still get a picture; 48 x 24 as type 0.
    const int width = size.width > 0 ? size.width : 48;
    const int height = size.height > 0 ? size.height : 24;
    char label[16];
    std::snprintf(label, sizeof label, "%XV%X", logo.logoId, logo.logoVersion);
    const uint8_t background = kBackgrounds[logo.logoId % kBackgrounds.size()];
    const uint8_t frame = kFrames[logo.logoVersion % kFrames.size()];
    // Both bit depths a broadcast uses: 4 for even logo ids, 8 for odd ones.
    const int bitDepth = logo.logoId % 2 == 0 ? 4 : 8;
    return WriteLogoPng(width, height,
                        LabelPattern(label, width, height, background, kWhite, frame), bitDepth);
}

std::vector<uint8_t> BuildStream(const StreamSpec& plan) {
    if (plan.packetSize != 188 && plan.packetSize != 192 && plan.packetSize != 204) {
        throw std::invalid_argument("packet size must be 188, 192 or 204");
    }
    Bytes sdt;
    std::vector<Bytes> cdt;
    try {
        sdt = SdtSectionOf(plan);
        for (const LogoSpec& logo : plan.logos) cdt.push_back(CdtSectionOf(plan, logo));
    } catch (const std::length_error& error) {
        throw std::invalid_argument(std::string("too big for one section: ") + error.what());
    }

    tswriter::Packetizer sdtPackets(tswriter::kSdtPid, 0, plan.shape);
    tswriter::Packetizer cdtPackets(tswriter::kCdtPid, 0, plan.shape);
    std::map<uint16_t, uint8_t> fillerCounters;
    size_t fillerTurn = 0;
    FramedOutput out(plan.packetSize);
    auto filler = [&] {
        for (int i = 0; i < plan.filler; ++i) {
            const uint16_t pid = kFillerPids[fillerTurn++ % kFillerPids.size()];
            uint8_t& counter = fillerCounters[pid];
            out.Append(tswriter::FillerPacket(pid, counter));
            counter = (counter + 1) & 0x0F;
        }
    };

    CarouselStream carousel(plan);
    for (int cycle = 0; cycle < plan.repeat; ++cycle) {
        out.Garbage(plan.garbage);
        if (!carousel.Empty()) out.Append(carousel.Tables());
        out.Append(sdtPackets.OnePerPacket({sdt}));
        filler();
        out.Append(plan.backToBack ? cdtPackets.BackToBack(cdt) : cdtPackets.OnePerPacket(cdt));
        filler();
        if (!carousel.Empty()) {
            out.Append(carousel.Cycle());
            filler();
        }
    }
    return out.bytes;
}
