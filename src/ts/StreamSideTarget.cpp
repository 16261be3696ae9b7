// The target's SDT entry, looked up in one place for the stream side, the viewer's logo and the
// logo type change.

#include "StreamCallbackManager.h"

namespace {

// Types 1 and 2 name a logo image; type 3 gives logo characters only, with logo id 0, which on a
// network of several broadcasters belongs to one of them.
bool NamesAnImage(const ServiceLogoInfo& entry) {
    return entry.transmissionType == 1 || entry.transmissionType == 2;
}

}  // namespace

ServiceLogoInfo* StreamCallbackManager::TargetEntry() {
    const auto found = services.find(targetServiceId);
    return found == services.end() ? nullptr : &found->second;
}

const ServiceLogoInfo* StreamCallbackManager::TargetImage() {
    const ServiceLogoInfo* entry = TargetEntry();
    return entry && NamesAnImage(*entry) ? entry : nullptr;
}
