// A texture: one level of ARGB texels in the managed pool, filled through LockRect.
#pragma once

#include <d3d9.h>

#include "Registry.h"

namespace insigno::platform {

class Device;

class Texture final : public ComObject<IDirect3DTexture9> {
public:
    Texture(Device* device, Image texels, bool opaque);
    ~Texture() override;

    HRESULT WINAPI LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                            DWORD Flags) override;
    HRESULT WINAPI UnlockRect(UINT Level) override;

    Device* Owner() const { return device; }
    bool Locked() const { return locked; }
    // X8R8G8B8 texels read with alpha 0xFF whatever their top byte holds.
    const Image& Texels();

private:
    Device* device;
    Image texels;
    bool opaque;
    bool locked = false;
};

}  // namespace insigno::platform
