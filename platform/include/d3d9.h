// Direct3D 9 interfaces (stand-in for the SDK's d3d9.h). COM interfaces are structs of pure
// virtual methods under their real names; only the methods in use are declared. Objects are
// reference counted and destroyed by Release, never by delete.
#pragma once

#include <d3d9types.h>

#define D3D_SDK_VERSION 32

struct IUnknown {
    virtual ULONG WINAPI AddRef() = 0;
    virtual ULONG WINAPI Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IDirect3DResource9 : public IUnknown {
protected:
    ~IDirect3DResource9() = default;
};

struct IDirect3DBaseTexture9 : public IDirect3DResource9 {
protected:
    ~IDirect3DBaseTexture9() = default;
};

struct IDirect3DTexture9 : public IDirect3DBaseTexture9 {
    virtual HRESULT WINAPI LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                                    DWORD Flags) = 0;
    virtual HRESULT WINAPI UnlockRect(UINT Level) = 0;

protected:
    ~IDirect3DTexture9() = default;
};

struct IDirect3DDevice9 : public IUnknown {
    virtual HRESULT WINAPI TestCooperativeLevel() = 0;
    virtual HRESULT WINAPI Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) = 0;
    virtual HRESULT WINAPI Present(const RECT* pSourceRect, const RECT* pDestRect,
                                   HWND hDestWindowOverride, const RGNDATA* pDirtyRegion) = 0;
    virtual HRESULT WINAPI BeginScene() = 0;
    virtual HRESULT WINAPI EndScene() = 0;
    virtual HRESULT WINAPI Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color,
                                 float Z, DWORD Stencil) = 0;
    virtual HRESULT WINAPI CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage,
                                         D3DFORMAT Format, D3DPOOL Pool,
                                         IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) = 0;
    virtual HRESULT WINAPI SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) = 0;
    virtual HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) = 0;
    virtual HRESULT WINAPI SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type,
                                           DWORD Value) = 0;
    virtual HRESULT WINAPI SetFVF(DWORD FVF) = 0;
    virtual HRESULT WINAPI DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                           const void* pVertexStreamZeroData,
                                           UINT VertexStreamZeroStride) = 0;

protected:
    ~IDirect3DDevice9() = default;
};

struct IDirect3D9 : public IUnknown {
    virtual HRESULT WINAPI CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                        DWORD BehaviorFlags,
                                        D3DPRESENT_PARAMETERS* pPresentationParameters,
                                        IDirect3DDevice9** ppReturnedDeviceInterface) = 0;

protected:
    ~IDirect3D9() = default;
};

typedef IDirect3D9* LPDIRECT3D9;
typedef IDirect3D9* PDIRECT3D9;
typedef IDirect3DDevice9* LPDIRECT3DDEVICE9;
typedef IDirect3DDevice9* PDIRECT3DDEVICE9;
typedef IDirect3DTexture9* LPDIRECT3DTEXTURE9;
typedef IDirect3DTexture9* PDIRECT3DTEXTURE9;

extern "C" {
IDirect3D9* WINAPI Direct3DCreate9(UINT SDKVersion);
}
