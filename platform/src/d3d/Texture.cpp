#include "Texture.h"

#include "Device.h"

namespace insigno::platform {

// A resource keeps its device alive, as on Windows.
Texture::Texture(Device* owner, Image image) : device(owner), texels(std::move(image)) {
    device->AddRef();
}

Texture::~Texture() {
    device->Release();
}

}  // namespace insigno::platform
