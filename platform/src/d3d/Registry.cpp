#include "Registry.h"

#include "../Resets.h"

namespace insigno::platform {

bool SaneSize(std::uint64_t width, std::uint64_t height) {
    return width <= kMaxDimension && height <= kMaxDimension && width * height <= kMaxPixels;
}

Direct3DRegistry& Registry() {
    // Never destroyed: objects may be released during exit.
    static auto* registry = new Direct3DRegistry;
    return *registry;
}

void ResetDirect3DState() {
    Direct3DRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    registry.presented.clear();
    registry.failingDevices.clear();
    registry.failDirect3DCreate = false;
    registry.offThreadDeviceCalls = 0;
}

void ForgetPresented(const std::vector<HWND>& windows) {
    Direct3DRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    for (HWND window : windows) registry.presented.erase(window);
}

}  // namespace insigno::platform
