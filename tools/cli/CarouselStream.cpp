#include "CarouselStream.h"

#include <map>
#include <stdexcept>
#include <string>

#include "Carousel.h"

namespace {

using tswriter::Bytes;

constexpr uint16_t kEngineeringService = 0x03A1;
constexpr uint16_t kPmtPid = 0x01F0;
constexpr uint16_t kBsPid = 0x0920;
constexpr uint16_t kCsPid = 0x0921;
constexpr uint8_t kBsTag = 0x79;
constexpr uint8_t kCsTag = 0x7A;
constexpr uint16_t kOtherModuleId = 0x0200;

// The other module on each carousel: a name no logo module has, sent in the same way.
Bytes OtherModule() {
    Bytes bytes(300);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    return bytes;
}

std::vector<Bytes> Order(const std::vector<std::vector<Bytes>>& modules, const StreamSpec& plan) {
    std::vector<Bytes> blocks;
    if (plan.interleave) {
        for (size_t n = 0;; ++n) {
            bool any = false;
            for (const std::vector<Bytes>& module : modules) {
                if (n < module.size()) {
                    blocks.push_back(module[n]);
                    any = true;
                }
            }
            if (!any) break;
        }
    } else {
        for (const std::vector<Bytes>& module : modules) {
            blocks.insert(blocks.end(), module.begin(), module.end());
        }
    }
    if (plan.repeatBlocks) {
        const std::vector<Bytes> once = blocks;
        blocks.insert(blocks.end(), once.begin(), once.end());
    }
    return blocks;
}

}  // namespace

CarouselStream::CarouselStream(const StreamSpec& streamPlan)
    : plan(streamPlan),
      patPackets(tswriter::kPatPid, 0, plan.shape),
      pmtPackets(kPmtPid, 0, plan.shape) {
    // Logos by carousel and type, in the order given.
    std::map<bool, std::map<uint8_t, std::vector<tswriter::CarouselLogoEntry>>> byCarousel;
    for (const CarouselLogoSpec& logo : plan.carouselLogos) {
        tswriter::CarouselLogoEntry entry;
        entry.logoId = logo.logoId;
        for (const CarouselServiceSpec& service : logo.services) {
            entry.services.push_back(
                {service.originalNetworkId, service.transportStreamId, service.serviceId});
        }
        LogoSpec picture;
        picture.logoId = logo.logoId;
        picture.logoType = logo.logoType;
        picture.png = logo.png;
        entry.png = LogoPngOf(picture);
        byCarousel[logo.cs][logo.logoType].push_back(std::move(entry));
    }
    if (byCarousel.empty()) return;

    std::vector<tswriter::PmtStream> streams;
    for (const auto& [cs, types] : byCarousel) {
        const uint16_t pid = cs ? kCsPid : kBsPid;
        streams.push_back({0x0D, pid, cs ? kCsTag : kBsTag});
        const uint32_t downloadId = cs ? 2 : 1;
        tswriter::DiiSection dii;
        dii.downloadId = downloadId;
        dii.blockSize = plan.blockSize;
        std::vector<std::vector<Bytes>> modules;
        for (const auto& [type, logos] : types) {
            Bytes module;
            try {
                module = tswriter::LogoModule(type, logos);
            } catch (const std::length_error& error) {
                throw std::invalid_argument(error.what());
            }
            const uint16_t moduleId = static_cast<uint16_t>((cs ? 0x0100 : 0) + type);
            const std::string name = std::string(cs ? "CS_" : "") + "LOGO-0" + std::to_string(type);
            dii.modules.push_back(
                {moduleId, static_cast<uint32_t>(module.size()), plan.moduleVersion, name, {}});
            modules.push_back(tswriter::ModuleBlocks(downloadId, moduleId, plan.moduleVersion,
                                                     module, plan.blockSize));
        }
        const Bytes other = OtherModule();
        dii.modules.push_back({kOtherModuleId,
                               static_cast<uint32_t>(other.size()),
                               plan.moduleVersion,
                               "INSIGNO-OTHER",
                               {}});
        modules.push_back(tswriter::ModuleBlocks(downloadId, kOtherModuleId, plan.moduleVersion,
                                                 other, plan.blockSize));
        Carousel carousel{tswriter::Packetizer(pid, 0, plan.shape), {}, Order(modules, plan)};
        try {
            carousel.dii = dii.Build();
        } catch (const std::length_error& error) {
            throw std::invalid_argument(error.what());
        }
        carousels.push_back(std::move(carousel));
    }
    pat = tswriter::PatSection(plan.transportStreamId, {{kEngineeringService, kPmtPid}});
    pmt = tswriter::PmtSection(kEngineeringService, streams);
}

Bytes CarouselStream::Tables() {
    Bytes out = patPackets.OnePerPacket({pat});
    const Bytes map = pmtPackets.OnePerPacket({pmt});
    out.insert(out.end(), map.begin(), map.end());
    return out;
}

Bytes CarouselStream::Cycle() {
    Bytes out;
    for (Carousel& carousel : carousels) {
        const Bytes dii = carousel.packets.OnePerPacket({carousel.dii});
        if (!plan.blocksFirst) out.insert(out.end(), dii.begin(), dii.end());
        const Bytes blocks = carousel.packets.OnePerPacket(carousel.blocks);
        out.insert(out.end(), blocks.begin(), blocks.end());
        if (plan.blocksFirst) out.insert(out.end(), dii.begin(), dii.end());
    }
    return out;
}
