#include "Sprite.h"

#include <algorithm>

#include "Device.h"
#include "Texture.h"

namespace insigno::platform {

// The sprite's vertex buffer lives in the default pool: a device reset has to wait for
// OnLostDevice, as on Windows.
Sprite::Sprite(Device* owner) : device(owner) {
    device->AddRef();
    device->HoldDefaultPool();
    D3DXMatrixScaling(&transform, 1, 1, 1);
}

Sprite::~Sprite() {
    for (Pending& draw : pending) {
        draw.texture->Release();
    }
    if (!lost) {
        device->DropDefaultPool();
    }
    device->Release();
}

HRESULT WINAPI Sprite::SetTransform(const D3DXMATRIX* pTransform) {
    if (!pTransform) {
        return D3DERR_INVALIDCALL;
    }
    // Rotation and shear are not drawn here; refuse them rather than draw them wrongly.
    if (pTransform->_12 != 0 || pTransform->_21 != 0) {
        return D3DERR_INVALIDCALL;
    }
    transform = *pTransform;
    return D3D_OK;
}

HRESULT WINAPI Sprite::Begin(DWORD Flags) {
    if (begun || lost) {
        return D3DERR_INVALIDCALL;
    }
    begun = true;
    alphaBlend = (Flags & D3DXSPRITE_ALPHABLEND) != 0;
    return D3D_OK;
}

HRESULT WINAPI Sprite::Draw(IDirect3DTexture9* pTexture, const RECT* pSrcRect,
                            const D3DXVECTOR3* pCenter, const D3DXVECTOR3* pPosition,
                            D3DCOLOR Color) {
    // Every texture here is one of ours.
    auto* texture = static_cast<Texture*>(pTexture);
    if (!begun || !texture || texture->Owner() != device) {
        return D3DERR_INVALIDCALL;
    }
    const Image& texels = texture->Texels();
    RECT source{0, 0, texels.width, texels.height};
    if (pSrcRect) {
        source.left = std::clamp<LONG>(pSrcRect->left, 0, texels.width);
        source.right = std::clamp<LONG>(pSrcRect->right, source.left, texels.width);
        source.top = std::clamp<LONG>(pSrcRect->top, 0, texels.height);
        source.bottom = std::clamp<LONG>(pSrcRect->bottom, source.top, texels.height);
    }
    float left = (pPosition ? pPosition->x : 0) - (pCenter ? pCenter->x : 0);
    float top = (pPosition ? pPosition->y : 0) - (pCenter ? pCenter->y : 0);
    texture->AddRef();
    pending.push_back({texture,
                       {source, left, top, transform._11, transform._22, transform._41,
                        transform._42, Color, alphaBlend}});
    return D3D_OK;
}

HRESULT WINAPI Sprite::End() {
    if (!begun) {
        return D3DERR_INVALIDCALL;
    }
    begun = false;
    // Outside a scene nothing can be drawn; a lost device draws nothing and says nothing.
    bool inScene = device->InScene();
    bool draws = inScene && device->Usable();
    for (Pending& draw : pending) {
        if (draws) {
            DrawQuad(device->BackBuffer(), draw.texture->Texels(), draw.quad);
        }
        draw.texture->Release();
    }
    pending.clear();
    return inScene ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT WINAPI Sprite::OnLostDevice() {
    if (!lost) {
        lost = true;
        device->DropDefaultPool();
    }
    return D3D_OK;
}

HRESULT WINAPI Sprite::OnResetDevice() {
    if (lost) {
        lost = false;
        device->HoldDefaultPool();
    }
    return D3D_OK;
}

}  // namespace insigno::platform

extern "C" HRESULT WINAPI D3DXCreateSprite(IDirect3DDevice9* pDevice, ID3DXSprite** ppSprite) {
    if (!pDevice || !ppSprite) {
        return D3DERR_INVALIDCALL;
    }
    *ppSprite = new insigno::platform::Sprite(static_cast<insigno::platform::Device*>(pDevice));
    return D3D_OK;
}

extern "C" D3DXMATRIX* WINAPI D3DXMatrixScaling(D3DXMATRIX* pOut, FLOAT sx, FLOAT sy, FLOAT sz) {
    *pOut = D3DXMATRIX();
    for (auto& row : pOut->m) {
        std::fill(std::begin(row), std::end(row), 0.0f);
    }
    pOut->_11 = sx;
    pOut->_22 = sy;
    pOut->_33 = sz;
    pOut->_44 = 1;
    return pOut;
}
