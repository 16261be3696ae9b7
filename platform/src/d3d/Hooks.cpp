// Test hooks of the Direct3D side.
#include <insigno/platform_test.h>

#include "Device.h"
#include "Texture.h"

using namespace insigno::platform;

void InsignoPlatform_FailDirect3DCreate9(bool fail) {
    std::lock_guard lock(Registry().mutex);
    Registry().failDirect3DCreate = fail;
}

void InsignoPlatform_FailDeviceCreation(D3DDEVTYPE type, DWORD vertexProcessingFlag) {
    std::lock_guard lock(Registry().mutex);
    Registry().failingDevices.insert({type, vertexProcessingFlag});
}

namespace {

template <typename Action>
auto WithDevice(HWND window, Action action) -> std::optional<decltype(action(nullptr))> {
    Direct3DRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.devices.find(window);
    if (it == registry.devices.end()) {
        return std::nullopt;
    }
    return action(it->second);
}

}  // namespace

std::optional<InsignoPlatform_DeviceInfo> InsignoPlatform_Device(HWND window) {
    return WithDevice(window, [](Device* device) { return device->Info(); });
}

bool InsignoPlatform_LoseDevice(HWND window) {
    return WithDevice(window,
                      [](Device* device) {
                          device->Lose();
                          return true;
                      })
        .has_value();
}

bool InsignoPlatform_AllowDeviceReset(HWND window) {
    return WithDevice(window,
                      [](Device* device) {
                          device->AllowReset();
                          return true;
                      })
        .has_value();
}

std::optional<InsignoPlatform_Image> InsignoPlatform_PresentedImage(HWND window) {
    Direct3DRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.presented.find(window);
    if (it == registry.presented.end()) {
        return std::nullopt;
    }
    return it->second.image;
}

unsigned InsignoPlatform_PresentCount(HWND window) {
    Direct3DRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.presented.find(window);
    return it == registry.presented.end() ? 0 : it->second.count;
}

InsignoPlatform_Image InsignoPlatform_TextureImage(IDirect3DTexture9* texture) {
    return static_cast<Texture*>(texture)->Texels();
}

std::size_t InsignoPlatform_LiveD3DObjects() {
    return Registry().live;
}

std::size_t InsignoPlatform_OffThreadDeviceCalls() {
    return Registry().offThreadDeviceCalls;
}
