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

    // For the sprite: drawing needs a scene, and a lost device draws nothing.
    bool InScene() const { return inScene; }
    bool Usable() const { return CooperationNow() == Cooperation::Usable; }
    Image& BackBuffer() { return backBuffer; }
    // Objects holding default-pool resources; Reset refuses to run while any does.
    void HoldDefaultPool() { ++defaultPoolHolders; }
    void DropDefaultPool() { --defaultPoolHolders; }

    // Test hooks, called with the registry's lock held.
    InsignoPlatform_DeviceInfo Info() const;
    void Lose();
    void AllowReset();

private:
    enum class Cooperation { Usable, Lost, NotReset };

    Cooperation CooperationNow() const;
    void Register(HWND window);
    void Unregister();

    Direct3D* parent;
    D3DDEVTYPE type;
    DWORD behaviorFlags;
    std::atomic<int> defaultPoolHolders{0};

    // Guarded by the registry's lock: tests reach them from their own threads.
    HWND window = nullptr;
    UINT width;
    UINT height;
    Cooperation cooperation = Cooperation::Usable;
    unsigned resets = 0;

    // Like a real device made without D3DCREATE_MULTITHREADED, these are not guarded: the caller
    // serialises its use of the device.
    Image backBuffer;
    bool hasDepthStencil;
    bool inScene = false;
};

// The window a device presents to: hDeviceWindow, else the focus window.
HWND DeviceWindow(const D3DPRESENT_PARAMETERS& parameters, HWND focus);
// Checks present parameters and fills in what the system chooses: the back-buffer size (the
// device window's client size when zero) and count.
HRESULT ResolvePresentParameters(D3DPRESENT_PARAMETERS& parameters, HWND focus);

}  // namespace insigno::platform
