#include <boost/thread/lock_guard.hpp>
#include <vector>

#include "PaletteChunk.h"
#include "Window.h"

namespace {

constexpr UINT kSdkVersion = 32;
constexpr D3DCOLOR kClearColour = 0x00808080;
constexpr D3DCOLOR kNoTint = 0xFFFFFFFF;

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
    if (!direct3d) throw WindowException(3);
    CreateDevice();
}

void Window::CreateDevice() {
    D3DPRESENT_PARAMETERS parameters;
    GetPresentParameters(parameters);
    bool created = false;
    for (const DeviceAttempt& attempt : kDeviceAttempts) {
        if (direct3d->CreateDevice(0, attempt.type, hwnd, attempt.behaviour, &parameters,
                                   device.Put()) >= 0) {
            created = true;
            break;
        }
    }
    if (!created) throw WindowException(4);
    D3DXCreateSprite(device.Get(), sprite.Put());
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
    // The sprite's creation is not checked; without one there is nothing to tell.
    if (sprite) sprite->OnLostDevice();
    D3DPRESENT_PARAMETERS parameters;
    GetPresentParameters(parameters);
    if (device->Reset(&parameters) != D3D_OK) return false;
    if (sprite) sprite->OnResetDevice();
    return true;
}

void Window::ReloadTexture() {
    LockPassOnWindowThread();
    boost::lock_guard<boost::timed_mutex> pass(passMutex, boost::adopt_lock);
    std::vector<uint8_t> png;
    texture.Reset();
    try {
        boost::lock_guard<boost::mutex> lock(logoMutex);
        png = InsertPalette(pendingLogo);
        textureWidth = pendingLogo.width;
        textureHeight = pendingLogo.height;
    } catch (...) {
        // No memory for the copy (or the lock failed): no logo, so a window without area, which
        // shows nothing until the next logo arrives.
        png.clear();
        textureWidth = 0;
        textureHeight = 0;
    }
    // Data too short to complete as a PNG gets no texture; the window then shows plain grey.
    if (!png.empty()) {
        D3DXCreateTextureFromFileInMemoryEx(device.Get(), png.data(), static_cast<UINT>(png.size()),
                                            static_cast<UINT>(textureWidth),
                                            static_cast<UINT>(textureHeight), D3DX_DEFAULT, 0,
                                            D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
                                            D3DX_DEFAULT, 0, nullptr, nullptr, texture.Put());
    }
    Update();
}

void Window::Render() {
    const auto scale = static_cast<float>(GetScale());
    D3DXMATRIX transform;
    D3DXMatrixScaling(&transform, scale, scale, 1.0f);
    if (sprite) sprite->SetTransform(&transform);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kClearColour, 1.0f, 0);
    device->BeginScene();
    if (sprite) {
        sprite->Begin(D3DXSPRITE_ALPHABLEND);
        if (texture) sprite->Draw(texture.Get(), nullptr, nullptr, nullptr, kNoTint);
        sprite->End();
    }
    device->EndScene();
    if (device->Present(nullptr, nullptr, nullptr, nullptr) == D3DERR_DEVICELOST) ResetDevice();
}
