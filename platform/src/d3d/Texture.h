// A texture: one level of ARGB texels, made by D3DXCreateTextureFromFileInMemoryEx.
#pragma once

#include <d3d9.h>

#include "Registry.h"

namespace insigno::platform {

class Device;

class Texture final : public ComObject<IDirect3DTexture9> {
public:
    Texture(Device* device, Image texels);
    ~Texture() override;

    Device* Owner() const { return device; }
    const Image& Texels() const { return texels; }

private:
    Device* device;
    Image texels;
};

}  // namespace insigno::platform
