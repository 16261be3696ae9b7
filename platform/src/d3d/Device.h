// A Direct3D 9 device that draws into a 32-bit ARGB back buffer in memory and presents it as
// the picture of its window.
#pragma once

#include <d3d9.h>

#include "Registry.h"

namespace insigno::platform {

class Direct3D;

class Device final : public ComObject<IDirect3DDevice9> {
public:
    // `parameters` must have been checked with ResolvePresentParameters; `window` is the device
    // window it chose.
    Device(Direct3D* parent, D3DDEVTYPE type, DWORD behaviorFlags, HWND window,
           const D3DPRESENT_PARAMETERS& parameters);
    ~Device() override;

    HRESULT WINAPI TestCooperativeLevel() override;
    HRESULT WINAPI Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
    HRESULT WINAPI Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                           const RGNDATA* pDirtyRegion) override;
    HRESULT WINAPI BeginScene() override;
    HRESULT WINAPI EndScene() override;
    HRESULT WINAPI Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                         DWORD Stencil) override;
    HRESULT WINAPI CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage,
                                 D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture,
                                 HANDLE* pSharedHandle) override;
    HRESULT WINAPI SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override;
    HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
    HRESULT WINAPI SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override;
    HRESULT WINAPI SetFVF(DWORD FVF) override;
    HRESULT WINAPI DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                   const void* pVertexStreamZeroData,
                                   UINT VertexStreamZeroStride) override;
    // The last release, on the thread that owns the device window.
    ULONG WINAPI Release() override;

    // For the sprite: drawing needs a scene, and a lost device draws nothing.
    bool InScene() const { return inScene; }
    bool Usable() const { return CooperationNow() == Cooperation::Usable; }
    Image& BackBuffer() { return backBuffer; }

    // Test hooks, called with the registry's lock held.
    InsignoPlatform_DeviceInfo Info() const;
    void Lose();
    void AllowReset();

private:
    enum class Cooperation { Usable, Lost, NotReset };

    Cooperation CooperationNow() const;
    // Render and sampler states as a reset leaves them.
    void DefaultStates();
    // Counts a call that Direct3D 9 allows only on the device window's thread made elsewhere.
    void CheckWindowThread() const;
    void Register(HWND window);
    void Unregister();

    Direct3D* parent;
    D3DDEVTYPE type;
    DWORD behaviorFlags;

    // Guarded by the registry's lock: tests reach them from their own threads.
    HWND window = nullptr;
    // The device window's thread at creation: it stays the one to reset, test and release the
    // device on, also once the window is gone.
    DWORD windowThread;
    UINT width;
    UINT height;
    Cooperation cooperation = Cooperation::Usable;
    unsigned resets = 0;

    // Like a real device made without D3DCREATE_MULTITHREADED, these are not guarded: the caller
    // serialises its use of the device.
    Image backBuffer;
    bool hasDepthStencil;
    bool inScene = false;
    IDirect3DTexture9* boundTexture = nullptr;  // stage 0, referenced while bound
    DWORD vertexFormat = 0;
    bool alphaBlend = false;
    DWORD sourceBlend = D3DBLEND_ONE;
    DWORD destinationBlend = D3DBLEND_ZERO;
    DWORD addressU = D3DTADDRESS_WRAP;
    DWORD addressV = D3DTADDRESS_WRAP;
    DWORD magFilter = D3DTEXF_POINT;
    DWORD minFilter = D3DTEXF_POINT;
    DWORD mipFilter = D3DTEXF_NONE;
};

// The window a device presents to: hDeviceWindow, else the focus window.
HWND DeviceWindow(const D3DPRESENT_PARAMETERS& parameters, HWND focus);
// Checks present parameters and fills in what the system chooses: the back-buffer size (the
// device window's client size when zero) and count.
HRESULT ResolvePresentParameters(D3DPRESENT_PARAMETERS& parameters, HWND focus);

}  // namespace insigno::platform
