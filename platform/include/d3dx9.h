// D3DX 9 helpers used with Direct3D 9 (stand-in for the SDK's d3dx9.h).
#pragma once

#include <d3d9.h>

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)

#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)

#define D3DXSPRITE_ALPHABLEND (1 << 4)

#define _FACDD 0x876
#define MAKE_DDHRESULT(code) MAKE_HRESULT(1, _FACDD, code)
#define D3DXERR_INVALIDDATA MAKE_DDHRESULT(2905)

typedef struct D3DXVECTOR3 : public D3DVECTOR {
    D3DXVECTOR3() = default;
    D3DXVECTOR3(FLOAT fx, FLOAT fy, FLOAT fz) : D3DVECTOR{fx, fy, fz} {}
} D3DXVECTOR3, *LPD3DXVECTOR3;

typedef struct D3DXMATRIX : public D3DMATRIX {
    D3DXMATRIX() = default;
    FLOAT& operator()(UINT row, UINT col) { return m[row][col]; }
    FLOAT operator()(UINT row, UINT col) const { return m[row][col]; }
} D3DXMATRIX, *LPD3DXMATRIX;

// Only passed as a null pointer here: no source information is reported.
struct _D3DXIMAGE_INFO;
typedef struct _D3DXIMAGE_INFO D3DXIMAGE_INFO;

struct ID3DXSprite : public IUnknown {
    // Only scaling and translation are drawn; a transform that rotates or shears is refused.
    virtual HRESULT WINAPI SetTransform(const D3DXMATRIX* pTransform) = 0;
    virtual HRESULT WINAPI Begin(DWORD Flags) = 0;
    virtual HRESULT WINAPI Draw(IDirect3DTexture9* pTexture, const RECT* pSrcRect,
                                const D3DXVECTOR3* pCenter, const D3DXVECTOR3* pPosition,
                                D3DCOLOR Color) = 0;
    virtual HRESULT WINAPI End() = 0;
    virtual HRESULT WINAPI OnLostDevice() = 0;
    virtual HRESULT WINAPI OnResetDevice() = 0;

protected:
    ~ID3DXSprite() = default;
};
typedef ID3DXSprite* LPD3DXSPRITE;

extern "C" {
D3DXMATRIX* WINAPI D3DXMatrixScaling(D3DXMATRIX* pOut, FLOAT sx, FLOAT sy, FLOAT sz);
HRESULT WINAPI D3DXCreateSprite(IDirect3DDevice9* pDevice, ID3DXSprite** ppSprite);
// Decodes PNG data into one level of D3DFMT_A8R8G8B8 texels of the requested size.
// D3DX_FILTER_NONE copies the image to the top left and leaves the rest transparent black;
// D3DX_FILTER_POINT scales with point sampling. Absurd sizes are refused.
HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* pDevice, LPCVOID pSrcData,
                                                   UINT SrcDataSize, UINT Width, UINT Height,
                                                   UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                   D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                   D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                   PALETTEENTRY* pPalette,
                                                   IDirect3DTexture9** ppTexture);
}
