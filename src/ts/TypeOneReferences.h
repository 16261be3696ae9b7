#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>

#include "SDTParse.h"

// The type 1 logo references that SDT sections (actual or other) have named, by network and
// service id. Type 2 services and carousel logos carry no version of their own and take that of
// the type 1 reference with their logo id on their network.
class TypeOneReferences {
public:
    // Networks beyond `networkLimit` are not remembered: a stream inventing networks must not
    // make the table grow without end.
    explicit TypeOneReferences(size_t networkLimit = std::numeric_limits<size_t>::max())
        : maxNetworks(networkLimit) {}

    // Takes the entries of one parsed section of `networkId`: a type 1 entry is kept, a service
    // listed with another type forgets its own.
    void Remember(uint16_t networkId, const std::map<uint16_t, ServiceLogoInfo>& services);
    // The reference of the lowest service id with this logo id on the network; null when none.
    const ServiceLogoInfo* Find(uint16_t networkId, uint16_t logoId) const;
    // Counts the sections that changed a reference: what was decided by the table before may
    // need deciding again.
    uint64_t Changes() const { return changes; }

private:
    size_t maxNetworks;
    uint64_t changes = 0;
    std::map<uint16_t, std::map<uint16_t, ServiceLogoInfo>> networks;
};
