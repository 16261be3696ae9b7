#include "CarouselVersions.h"

LogoStore::Taken FileCarouselLogo(LogoRecord record, const TypeOneReferences& references,
                                  LogoStore& store) {
    // The store refuses it every time: nothing to offer again.
    if (!LogoStore::IsWellFormedPng(record.data)) return LogoStore::Taken::Held;
    if (const ServiceLogoInfo* reference =
            references.Find(record.originalNetworkId, record.logoId)) {
        record.logoVersion = reference->logoVersion;
        return store.AcceptNewest(record);
    }
    // A later copy under its SDT-given version replaces the stand-in.
    LogoRecord held;
    if (store.Lookup(record.originalNetworkId, record.logoId, record.logoType, held)) {
        return LogoStore::Taken::Held;
    }
    record.logoVersion = 0;
    return store.Accept(record) ? LogoStore::Taken::Queued : LogoStore::Taken::Refused;
}
