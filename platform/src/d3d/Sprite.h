// ID3DXSprite: collects draws between Begin and End and draws them into the device's back
// buffer at End, as D3DX batches them.
#pragma once

#include <d3dx9.h>

#include <vector>

#include "Raster.h"
#include "Registry.h"

namespace insigno::platform {

class Device;
class Texture;

class Sprite final : public ComObject<ID3DXSprite> {
public:
    explicit Sprite(Device* device);
    ~Sprite() override;

    HRESULT WINAPI SetTransform(const D3DXMATRIX* pTransform) override;
    HRESULT WINAPI Begin(DWORD Flags) override;
    HRESULT WINAPI Draw(IDirect3DTexture9* pTexture, const RECT* pSrcRect,
                        const D3DXVECTOR3* pCenter, const D3DXVECTOR3* pPosition,
                        D3DCOLOR Color) override;
    HRESULT WINAPI End() override;
    HRESULT WINAPI OnLostDevice() override;
    HRESULT WINAPI OnResetDevice() override;

private:
    struct Pending {
        Texture* texture;  // referenced until drawn
        SpriteQuad quad;
    };

    Device* device;
    D3DXMATRIX transform;
    bool begun = false;
    bool alphaBlend = false;
    bool lost = false;
    std::vector<Pending> pending;
};

}  // namespace insigno::platform
