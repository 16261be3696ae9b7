#include "TypeOneReferences.h"

void TypeOneReferences::Remember(uint16_t networkId,
                                 const std::map<uint16_t, ServiceLogoInfo>& services) {
    if (networks.size() >= maxNetworks && networks.count(networkId) == 0) return;
    auto& references = networks[networkId];
    bool changed = false;
    for (const auto& [serviceId, info] : services) {
        const auto held = references.find(serviceId);
        if (info.transmissionType == 1) {
            if (held != references.end() && held->second == info) continue;
            references.insert_or_assign(serviceId, info);
            changed = true;
        } else if (held != references.end()) {
            references.erase(held);
            changed = true;
        }
    }
    if (changed) ++changes;
}

const ServiceLogoInfo* TypeOneReferences::Find(uint16_t networkId, uint16_t logoId) const {
    const auto network = networks.find(networkId);
    if (network == networks.end()) return nullptr;
    for (const auto& [serviceId, info] : network->second) {
        if (info.logoId == logoId) return &info;
    }
    return nullptr;
}
