#include "Device.h"

#include <windows.h>

#include <algorithm>

#include "Direct3D.h"

namespace insigno::platform {

HWND DeviceWindow(const D3DPRESENT_PARAMETERS& parameters, HWND focus) {
    return parameters.hDeviceWindow ? parameters.hDeviceWindow : focus;
}

HRESULT ResolvePresentParameters(D3DPRESENT_PARAMETERS& parameters, HWND focus) {
    HWND window = DeviceWindow(parameters, focus);
    // Only windowed devices are provided: there is no display mode to switch.
    if (!window || !IsWindow(window) || !parameters.Windowed ||
        parameters.MultiSampleType != D3DMULTISAMPLE_NONE) {
        return D3DERR_INVALIDCALL;
    }
    D3DFORMAT format = parameters.BackBufferFormat;
    if (format != D3DFMT_UNKNOWN && format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) {
        return D3DERR_INVALIDCALL;
    }
    RECT client{};
    GetClientRect(window, &client);
    // An empty client area still gets a back buffer of one pixel.
    if (parameters.BackBufferWidth == 0) {
        parameters.BackBufferWidth = static_cast<UINT>(std::max<LONG>(client.right, 1));
    }
    if (parameters.BackBufferHeight == 0) {
        parameters.BackBufferHeight = static_cast<UINT>(std::max<LONG>(client.bottom, 1));
    }
    if (!SaneSize(parameters.BackBufferWidth, parameters.BackBufferHeight)) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    parameters.BackBufferCount = std::max<UINT>(parameters.BackBufferCount, 1);
    return D3D_OK;
}

namespace {

Image Blank(const D3DPRESENT_PARAMETERS& parameters) {
    Image image;
    image.width = static_cast<int>(parameters.BackBufferWidth);
    image.height = static_cast<int>(parameters.BackBufferHeight);
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
    return image;
}

}  // namespace

Device::Device(Direct3D* parentObject, D3DDEVTYPE deviceType, DWORD flags, HWND deviceWindow,
               const D3DPRESENT_PARAMETERS& parameters)
    : parent(parentObject),
      type(deviceType),
      behaviorFlags(flags),
      width(parameters.BackBufferWidth),
      height(parameters.BackBufferHeight),
      backBuffer(Blank(parameters)),
      hasDepthStencil(parameters.EnableAutoDepthStencil != FALSE) {
    {
        std::lock_guard lock(Registry().mutex);
        Register(deviceWindow);
    }
    // Only now: a registration that fails for want of memory must leave no reference behind.
    parent->AddRef();
}

Device::~Device() {
    {
        std::lock_guard lock(Registry().mutex);
        Unregister();
    }
    parent->Release();
}

void Device::Register(HWND deviceWindow) {
    Unregister();
    window = deviceWindow;
    Registry().devices[window] = this;
}

void Device::Unregister() {
    auto& devices = Registry().devices;
    auto it = devices.find(window);
    if (it != devices.end() && it->second == this) {
        devices.erase(it);
    }
}

Device::Cooperation Device::CooperationNow() const {
    std::lock_guard lock(Registry().mutex);
    return cooperation;
}

HRESULT WINAPI Device::TestCooperativeLevel() {
    switch (CooperationNow()) {
        case Cooperation::Lost:
            return D3DERR_DEVICELOST;
        case Cooperation::NotReset:
            return D3DERR_DEVICENOTRESET;
        default:
            return D3D_OK;
    }
}

HRESULT WINAPI Device::Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) {
    if (!pPresentationParameters) {
        return D3DERR_INVALIDCALL;
    }
    if (CooperationNow() == Cooperation::Lost) {
        return D3DERR_DEVICELOST;
    }
    D3DPRESENT_PARAMETERS parameters = *pPresentationParameters;
    HRESULT hr = ResolvePresentParameters(parameters, window);
    // As on Windows, default-pool resources must be released before a reset, and a failed reset
    // leaves the device waiting for another one.
    if (SUCCEEDED(hr) && defaultPoolHolders > 0) {
        hr = D3DERR_INVALIDCALL;
    }
    std::lock_guard lock(Registry().mutex);
    if (FAILED(hr)) {
        cooperation = Cooperation::NotReset;
        return hr;
    }
    *pPresentationParameters = parameters;
    backBuffer = Blank(parameters);
    width = parameters.BackBufferWidth;
    height = parameters.BackBufferHeight;
    hasDepthStencil = parameters.EnableAutoDepthStencil != FALSE;
    inScene = false;
    cooperation = Cooperation::Usable;
    ++resets;
    Register(DeviceWindow(parameters, window));
    return D3D_OK;
}

HRESULT WINAPI Device::Present(const RECT* pSourceRect, const RECT* pDestRect,
                               HWND hDestWindowOverride, const RGNDATA* pDirtyRegion) {
    // Partial presents and other windows are not provided.
    if (pSourceRect || pDestRect || hDestWindowOverride || pDirtyRegion || inScene) {
        return D3DERR_INVALIDCALL;
    }
    Direct3DRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    if (cooperation != Cooperation::Usable) {
        return D3DERR_DEVICELOST;
    }
    Presented& presented = registry.presented[window];
    presented.image = backBuffer;
    ++presented.count;
    return D3D_OK;
}

HRESULT WINAPI Device::BeginScene() {
    if (inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = true;
    return D3D_OK;
}

HRESULT WINAPI Device::EndScene() {
    if (!inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = false;
    return D3D_OK;
}

HRESULT WINAPI Device::Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color,
                             float /*Z*/, DWORD /*Stencil*/) {
    constexpr DWORD kDepthStencil = D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    if ((Count == 0) != (pRects == nullptr) || (Flags & ~(D3DCLEAR_TARGET | kDepthStencil)) ||
        ((Flags & kDepthStencil) && !hasDepthStencil) || Flags == 0) {
        return D3DERR_INVALIDCALL;
    }
    // A lost device accepts drawing calls and draws nothing.
    if (!(Flags & D3DCLEAR_TARGET) || CooperationNow() != Cooperation::Usable) {
        return D3D_OK;
    }
    D3DRECT whole{0, 0, backBuffer.width, backBuffer.height};
    for (DWORD i = 0; i < std::max<DWORD>(Count, 1); ++i) {
        const D3DRECT& rect = Count ? pRects[i] : whole;
        LONG left = std::max<LONG>(rect.x1, 0), right = std::min<LONG>(rect.x2, backBuffer.width);
        LONG top = std::max<LONG>(rect.y1, 0), bottom = std::min<LONG>(rect.y2, backBuffer.height);
        for (LONG y = top; y < bottom; ++y) {
            for (LONG x = left; x < right; ++x) {
                backBuffer.pixels[static_cast<std::size_t>(y) * backBuffer.width + x] = Color;
            }
        }
    }
    return D3D_OK;
}

InsignoPlatform_DeviceInfo Device::Info() const {
    return {type, behaviorFlags, width, height, resets};
}

void Device::Lose() {
    cooperation = Cooperation::Lost;
}

void Device::AllowReset() {
    if (cooperation == Cooperation::Lost) {
        cooperation = Cooperation::NotReset;
    }
}

}  // namespace insigno::platform
