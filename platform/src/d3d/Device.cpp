#include "Device.h"

#include <windows.h>

#include <algorithm>

#include "Direct3D.h"
#include "Raster.h"
#include "Texture.h"

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
      windowThread(WindowThread(deviceWindow)),
      width(parameters.BackBufferWidth),
      height(parameters.BackBufferHeight),
      backBuffer(Blank(parameters)),
      hasDepthStencil(parameters.EnableAutoDepthStencil != FALSE) {
    DefaultStates();
    {
        std::lock_guard lock(Registry().mutex);
        Register(deviceWindow);
    }
    // Only now: a registration that fails for want of memory must leave no reference behind.
    parent->AddRef();
}

Device::~Device() {
    if (boundTexture) {
        boundTexture->Release();
    }
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

void Device::DefaultStates() {
    if (boundTexture) {
        boundTexture->Release();
        boundTexture = nullptr;
    }
    vertexFormat = 0;
    alphaBlend = false;
    sourceBlend = D3DBLEND_ONE;
    destinationBlend = D3DBLEND_ZERO;
    addressU = addressV = D3DTADDRESS_WRAP;
    magFilter = minFilter = D3DTEXF_POINT;
    mipFilter = D3DTEXF_NONE;
}

void Device::CheckWindowThread() const {
    if (!OnThread(windowThread)) {
        ++Registry().offThreadDeviceCalls;
    }
}

ULONG WINAPI Device::Release() {
    if (References() == 1) {
        CheckWindowThread();
    }
    return ComObject::Release();
}

HRESULT WINAPI Device::TestCooperativeLevel() {
    CheckWindowThread();
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
    CheckWindowThread();
    if (!pPresentationParameters) {
        return D3DERR_INVALIDCALL;
    }
    if (CooperationNow() == Cooperation::Lost) {
        return D3DERR_DEVICELOST;
    }
    D3DPRESENT_PARAMETERS parameters = *pPresentationParameters;
    HRESULT hr = ResolvePresentParameters(parameters, window);
    // As on Windows, a failed reset leaves the device waiting for another one, and a reset
    // returns every state to its default.
    DefaultStates();
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

HRESULT WINAPI Device::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage,
                                     D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture,
                                     HANDLE* pSharedHandle) {
    if (!ppTexture) {
        return D3DERR_INVALIDCALL;
    }
    *ppTexture = nullptr;
    // One level of 32-bit texels in the managed pool is all that is provided; shared handles are
    // for default-pool resources only, as on Windows.
    if (Width == 0 || Height == 0 || Levels != 1 || Usage != 0 || Pool != D3DPOOL_MANAGED ||
        pSharedHandle || (Format != D3DFMT_A8R8G8B8 && Format != D3DFMT_X8R8G8B8)) {
        return D3DERR_INVALIDCALL;
    }
    if (!SaneSize(Width, Height)) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    Image texels;
    texels.width = static_cast<int>(Width);
    texels.height = static_cast<int>(Height);
    texels.pixels.assign(static_cast<std::size_t>(Width) * Height, 0);
    *ppTexture = new Texture(this, std::move(texels), Format == D3DFMT_X8R8G8B8);
    return D3D_OK;
}

HRESULT WINAPI Device::SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) {
    // Every texture here is one of ours, and only stage 0 draws.
    auto* texture = static_cast<IDirect3DTexture9*>(pTexture);
    if (Stage != 0 || (texture && static_cast<Texture*>(texture)->Owner() != this)) {
        return D3DERR_INVALIDCALL;
    }
    if (texture) {
        texture->AddRef();
    }
    if (boundTexture) {
        boundTexture->Release();
    }
    boundTexture = texture;
    return D3D_OK;
}

HRESULT WINAPI Device::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
    switch (State) {
        case D3DRS_ALPHABLENDENABLE:
            alphaBlend = Value != FALSE;
            return D3D_OK;
        case D3DRS_SRCBLEND:
            sourceBlend = Value;
            return D3D_OK;
        case D3DRS_DESTBLEND:
            destinationBlend = Value;
            return D3D_OK;
        // Nothing here has depth, lighting or a back face: accepted, and without effect.
        case D3DRS_ZENABLE:
        case D3DRS_CULLMODE:
        case D3DRS_LIGHTING:
            return D3D_OK;
        default:
            return D3DERR_INVALIDCALL;
    }
}

HRESULT WINAPI Device::SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) {
    if (Sampler != 0) {
        return D3DERR_INVALIDCALL;
    }
    switch (Type) {
        case D3DSAMP_ADDRESSU:
            addressU = Value;
            return D3D_OK;
        case D3DSAMP_ADDRESSV:
            addressV = Value;
            return D3D_OK;
        case D3DSAMP_MAGFILTER:
            magFilter = Value;
            return D3D_OK;
        case D3DSAMP_MINFILTER:
            minFilter = Value;
            return D3D_OK;
        case D3DSAMP_MIPFILTER:
            mipFilter = Value;
            return D3D_OK;
        default:
            return D3DERR_INVALIDCALL;
    }
}

HRESULT WINAPI Device::SetFVF(DWORD FVF) {
    vertexFormat = FVF;
    return D3D_OK;
}

namespace {

struct ScreenVertex {
    float x, y, z, rhw, u, v;
};

bool Filtering(DWORD filter) {
    return filter == D3DTEXF_POINT || filter == D3DTEXF_LINEAR;
}

bool Addressing(DWORD mode) {
    return mode == D3DTADDRESS_WRAP || mode == D3DTADDRESS_CLAMP;
}

}  // namespace

// One textured rectangle in screen space: a strip of two triangles over four corners, top left,
// top right, bottom left, bottom right, with texture coordinates that follow the edges. Anything
// else would be drawn wrongly here and is refused.
HRESULT WINAPI Device::DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                       const void* pVertexStreamZeroData,
                                       UINT VertexStreamZeroStride) {
    auto* texture = static_cast<Texture*>(boundTexture);
    if (!inScene || PrimitiveType != D3DPT_TRIANGLESTRIP || PrimitiveCount != 2 ||
        !pVertexStreamZeroData || vertexFormat != (D3DFVF_XYZRHW | D3DFVF_TEX1) ||
        VertexStreamZeroStride != sizeof(ScreenVertex) || !texture || texture->Locked()) {
        return D3DERR_INVALIDCALL;
    }
    const auto* v = static_cast<const ScreenVertex*>(pVertexStreamZeroData);
    const bool rectangle = v[0].x == v[2].x && v[1].x == v[3].x && v[0].y == v[1].y &&
                           v[2].y == v[3].y && v[0].u == v[2].u && v[1].u == v[3].u &&
                           v[0].v == v[1].v && v[2].v == v[3].v;
    const bool blendable = !alphaBlend || (sourceBlend == D3DBLEND_SRCALPHA &&
                                           destinationBlend == D3DBLEND_INVSRCALPHA);
    // Magnification and minification share one filter here, and there is one level only.
    if (!rectangle || !blendable || magFilter != minFilter || !Filtering(magFilter) ||
        mipFilter == D3DTEXF_LINEAR || addressU != addressV || !Addressing(addressU)) {
        return D3DERR_INVALIDCALL;
    }
    if (CooperationNow() != Cooperation::Usable) {
        return D3D_OK;
    }
    DrawRect(backBuffer, texture->Texels(),
             {v[0].x, v[0].y, v[3].x, v[3].y, v[0].u, v[0].v, v[3].u, v[3].v,
              magFilter == D3DTEXF_LINEAR, addressU == D3DTADDRESS_WRAP, alphaBlend});
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
