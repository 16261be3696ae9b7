#include "Texture.h"

#include "Device.h"

namespace insigno::platform {

// A resource keeps its device alive, as on Windows.
Texture::Texture(Device* owner, Image image, bool opaqueFormat)
    : device(owner), texels(std::move(image)), opaque(opaqueFormat) {
    device->AddRef();
}

Texture::~Texture() {
    device->Release();
}

// Only the whole of level 0 is provided; its rows lie one after another without padding.
HRESULT WINAPI Texture::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                                 DWORD /*Flags*/) {
    if (Level != 0 || !pLockedRect || pRect || locked) {
        return D3DERR_INVALIDCALL;
    }
    locked = true;
    pLockedRect->Pitch = texels.width * 4;
    pLockedRect->pBits = texels.pixels.data();
    return D3D_OK;
}

HRESULT WINAPI Texture::UnlockRect(UINT Level) {
    if (Level != 0 || !locked) {
        return D3DERR_INVALIDCALL;
    }
    locked = false;
    return D3D_OK;
}

const Image& Texture::Texels() {
    if (opaque) {
        for (std::uint32_t& texel : texels.pixels) texel |= 0xFF000000u;
    }
    return texels;
}

}  // namespace insigno::platform
