#include <boost/thread/lock_guard.hpp>
#include <cstring>
#include <optional>
#include <vector>

#include "LogoImage.h"
#include "PaletteChunk.h"
#include "Window.h"

namespace {

constexpr UINT kSdkVersion = 32;
constexpr D3DCOLOR kClearColour = 0x00808080;

struct DeviceAttempt {
    D3DDEVTYPE type;
    DWORD behaviour;
};

// Hardware first, then hardware with software vertex processing, then the reference rasteriser.
constexpr DeviceAttempt kDeviceAttempts[] = {
    {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
    {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
};

// A screen-space vertex with one texture coordinate: no transform and no lighting.
struct QuadVertex {
    float x, y, z, rhw;
    float u, v;
};
constexpr DWORD kQuadFormat = D3DFVF_XYZRHW | D3DFVF_TEX1;

// What the logo is drawn with: alpha blended over the cleared grey, texels filtered linearly
// and clamped at the edges. A reset returns every state to its default, so each draw sets them.
void SetDrawingStates(IDirect3DDevice9* device) {
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
}

}  // namespace

// A zero back-buffer size makes every creation and reset adopt the window's client size.
void Window::GetPresentParameters(D3DPRESENT_PARAMETERS& parameters) {
    parameters = D3DPRESENT_PARAMETERS{};
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
}

void Window::InitDirect3D() {
    direct3d.Reset();
    direct3d.Reset(Direct3DCreate9(kSdkVersion));
    if (!direct3d) throw WindowException(DIRECT3D_NOT_CREATED);
    CreateDevice();
}

void Window::CreateDevice() {
    D3DPRESENT_PARAMETERS parameters;
    GetPresentParameters(parameters);
    for (const DeviceAttempt& attempt : kDeviceAttempts) {
        if (direct3d->CreateDevice(0, attempt.type, hwnd, attempt.behaviour, &parameters,
                                   device.Put()) >= 0)
            return;
    }
    throw WindowException(DEVICE_NOT_CREATED);
}

bool Window::ResetDevice() {
    const HRESULT state = device->TestCooperativeLevel();
    if (state == D3DERR_DEVICELOST) return false;
    if (state != D3DERR_DEVICENOTRESET && state != D3D_OK) return false;
    // Direct3D 9 refuses a back buffer without area (a logo type without a size makes the
    // window 0 x 0): the reset fails and leaves the device lost, and resetting such a device again
    // has crashed Wine. Keep the device as it is until the window has an area again.
    RECT client{};
    GetClientRect(hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0) return false;
    D3DPRESENT_PARAMETERS parameters;
    GetPresentParameters(parameters);
    if (device->Reset(&parameters) != D3D_OK) return false;
    deviceLost = false;
    return true;
}

void Window::ReloadTexture() {
    std::vector<uint8_t> png;
    texture.Reset();
    try {
        boost::lock_guard<boost::mutex> lock(logoMutex);
        png = InsertPalette(pendingLogo);
        textureWidth = pendingLogo.width;
        textureHeight = pendingLogo.height;
    } catch (...) {
        // No memory for the copy: no logo, so a window without area, which shows nothing until
        // the next logo arrives.
        png.clear();
        textureWidth = 0;
        textureHeight = 0;
    }
    // Data that does not decode gets no texture; the window then shows plain grey.
    const std::optional<insigno::LogoImage> image =
        png.empty() ? std::nullopt
                    : insigno::DecodeLogoImage(png.data(), png.size(), textureWidth, textureHeight);
    // The managed pool keeps a copy of the texels, so a device reset does not lose the texture.
    if (image && device->CreateTexture(static_cast<UINT>(image->width),
                                       static_cast<UINT>(image->height), 1, 0, D3DFMT_A8R8G8B8,
                                       D3DPOOL_MANAGED, texture.Put(), nullptr) == D3D_OK) {
        D3DLOCKED_RECT locked{};
        if (texture->LockRect(0, &locked, nullptr, 0) == D3D_OK) {
            const std::size_t rowBytes = static_cast<std::size_t>(image->width) * 4;
            for (int y = 0; y < image->height; ++y) {
                std::memcpy(
                    static_cast<uint8_t*>(locked.pBits) +
                        static_cast<std::size_t>(y) * static_cast<std::size_t>(locked.Pitch),
                    image->pixels.data() + static_cast<std::size_t>(y) * image->width, rowBytes);
            }
            texture->UnlockRect(0);
        } else {
            texture.Reset();
        }
    }
    Update();
    Render();
}

void Window::Render() {
    pollsSinceDraw = 0;
    Redraw();
}

void Window::Redraw() {
    if (!IsWindowVisible(hwnd)) return;
    if (deviceLost && !ResetDevice()) return;
    // A present that finds the device lost is followed by a reset at once when the system allows
    // it, and one more picture; otherwise the next poll or draw tries again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        DrawLogo();
        if (device->Present(nullptr, nullptr, nullptr, nullptr) != D3DERR_DEVICELOST) return;
        deviceLost = true;
        if (!ResetDevice()) return;
    }
}

void Window::DrawLogo() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kClearColour, 1.0f, 0);
    if (device->BeginScene() != D3D_OK) return;
    if (texture) {
        // The texture's top-left corner at the window's, scaled; each vertex half a pixel up and
        // left, so that texel centres fall on pixel centres at every scale.
        const auto scale = static_cast<float>(GetScale());
        const float right = static_cast<float>(textureWidth) * scale - 0.5f;
        const float bottom = static_cast<float>(textureHeight) * scale - 0.5f;
        const QuadVertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0, 0},
                                    {right, -0.5f, 0, 1, 1, 0},
                                    {-0.5f, bottom, 0, 1, 0, 1},
                                    {right, bottom, 0, 1, 1, 1}};
        SetDrawingStates(device.Get());
        device->SetTexture(0, texture.Get());
        device->SetFVF(kQuadFormat);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex));
        device->SetTexture(0, nullptr);
    }
    device->EndScene();
}
