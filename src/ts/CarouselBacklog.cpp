#include "CarouselBacklog.h"

#include <algorithm>
#include <utility>

void CarouselBacklog::Add(CompletedModule&& module, uint8_t logoType) {
    const size_t size = module.bytes.size();
    if (bytes + size > kMaxBytes) {
        again = true;
        return;
    }
    modules.push_back({LogoModuleReader(std::move(module.bytes), logoType), size});
    bytes += size;
}

bool CarouselBacklog::NeedsAgain(uint64_t versionChanges) {
    const bool needed = again || versionChanges != versionsSeen;
    again = false;
    versionsSeen = versionChanges;
    return needed;
}

bool CarouselBacklog::Next(LogoRecord& record) {
    while (nextNetwork == networks.size()) {
        if (modules.empty()) return false;
        Module& module = modules.front();
        if (!module.reader.Next(logo)) {
            bytes -= module.size;
            modules.pop_front();
            continue;
        }
        networks.clear();
        for (const CarouselService& service : logo.services) {
            if (std::find(networks.begin(), networks.end(), service.originalNetworkId) ==
                networks.end()) {
                networks.push_back(service.originalNetworkId);
            }
        }
        nextNetwork = 0;
    }
    record.originalNetworkId = networks[nextNetwork++];
    record.logoId = logo.logoId;
    record.logoVersion = 0;
    record.logoType = logo.logoType;
    record.data = logo.png;
    record.ApplySizeByType();
    return true;
}
