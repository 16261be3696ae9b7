// Direct3D 9 and D3DX as the overlay uses them, on a child window, with Wine's implementation:
// device creation with the overlay's fallbacks, clearing and presenting, and a texture decoded
// from a PNG in memory at a requested size.
#include "TestWindow.h"

#include <d3d9.h>
#include <d3dx9.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>

namespace {

// 2x2, colour type 3: red, green / blue, white at alpha 0x80 (tRNS).
constexpr std::array<std::uint8_t, 111> palettePng = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x03, 0x00, 0x00, 0x00, 0x45, 0x68, 0xfd,
    0x16, 0x00, 0x00, 0x00, 0x0c, 0x50, 0x4c, 0x54, 0x45, 0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00,
    0x00, 0xff, 0xff, 0xff, 0xff, 0xfb, 0x00, 0x60, 0xf6, 0x00, 0x00, 0x00, 0x04, 0x74, 0x52, 0x4e,
    0x53, 0xff, 0xff, 0xff, 0x80, 0xad, 0x92, 0x2a, 0xd4, 0x00, 0x00, 0x00, 0x0e, 0x49, 0x44, 0x41,
    0x54, 0x78, 0x9c, 0x63, 0x60, 0x60, 0x64, 0x60, 0x62, 0x06, 0x00, 0x00, 0x11, 0x00, 0x07, 0x9e,
    0xa2, 0x2a, 0x12, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

struct Releaser {
    void operator()(IUnknown* p) const { p->Release(); }
};
template <class T>
using ComPtr = std::unique_ptr<T, Releaser>;

class WineDirect3D : public ::testing::Test {
protected:
    static constexpr int childWidth = 320;
    static constexpr int childHeight = 240;

    void SetUp() override {
        d3d.reset(Direct3DCreate9(D3D_SDK_VERSION));
        ASSERT_NE(d3d, nullptr);
        // A zero back-buffer size takes the device window's client size.
        D3DPRESENT_PARAMETERS pp{};
        pp.Windowed = TRUE;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.BackBufferFormat = D3DFMT_UNKNOWN;
        pp.hDeviceWindow = window.Child();
        // The overlay's three attempts, in its order.
        const std::array<std::pair<D3DDEVTYPE, DWORD>, 3> attempts = {{
            {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
            {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
            {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        }};
        for (const auto& [type, flags] : attempts) {
            IDirect3DDevice9* created = nullptr;
            D3DPRESENT_PARAMETERS params = pp;
            if (SUCCEEDED(d3d->CreateDevice(D3DADAPTER_DEFAULT, type, window.Child(), flags,
                                            &params, &created))) {
                device.reset(created);
                break;
            }
        }
        ASSERT_NE(device, nullptr) << "no Direct3D 9 device on the child window";
    }

    TestWindow window{childWidth, childHeight};
    ComPtr<IDirect3D9> d3d;
    ComPtr<IDirect3DDevice9> device;
};

TEST_F(WineDirect3D, BackBufferTakesTheChildClientSizeAndClearedPixelsReachIt) {
    ComPtr<IDirect3DSurface9> backBuffer;
    {
        IDirect3DSurface9* s = nullptr;
        ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &s), D3D_OK);
        backBuffer.reset(s);
    }
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(backBuffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, static_cast<UINT>(childWidth));
    EXPECT_EQ(desc.Height, static_cast<UINT>(childHeight));

    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0x12, 0x34, 0x56), 1.0f, 0),
              D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);

    ComPtr<IDirect3DSurface9> copy;
    {
        IDirect3DSurface9* s = nullptr;
        ASSERT_EQ(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                      D3DPOOL_SYSTEMMEM, &s, nullptr),
                  D3D_OK);
        copy.reset(s);
    }
    ASSERT_EQ(device->GetRenderTargetData(backBuffer.get(), copy.get()), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto* row = static_cast<const std::uint32_t*>(locked.pBits);
    const std::uint32_t corner = row[0] & 0xffffff;
    const std::uint32_t centre =
        reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(locked.pBits) +
                                               locked.Pitch * (childHeight / 2))[childWidth / 2] &
        0xffffff;
    copy->UnlockRect();
    EXPECT_EQ(corner, 0x123456u);
    EXPECT_EQ(centre, 0x123456u);

    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
}

struct PngSize {
    UINT width;
    UINT height;
};

class WinePngTexture : public WineDirect3D, public ::testing::WithParamInterface<PngSize> {};

// The palette's colours with the tRNS alpha, nearest-neighbour scaled to the requested size.
TEST_P(WinePngTexture, DecodesPaletteAndTransparencyAtTheRequestedSize) {
    const PngSize size = GetParam();
    IDirect3DTexture9* raw = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device.get(), palettePng.data(), palettePng.size(), size.width, size.height, 1, 0,
                  D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_POINT, D3DX_DEFAULT, 0, nullptr,
                  nullptr, &raw),
              D3D_OK);
    ComPtr<IDirect3DTexture9> texture(raw);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    ASSERT_EQ(desc.Width, size.width);
    ASSERT_EQ(desc.Height, size.height);
    ASSERT_EQ(desc.Format, D3DFMT_A8R8G8B8);

    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto pixel = [&](UINT x, UINT y) {
        return reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(locked.pBits) + locked.Pitch * y)[x];
    };
    const std::uint32_t topLeft = pixel(0, 0);
    const std::uint32_t topRight = pixel(size.width - 1, 0);
    const std::uint32_t bottomLeft = pixel(0, size.height - 1);
    const std::uint32_t bottomRight = pixel(size.width - 1, size.height - 1);
    texture->UnlockRect(0);
    EXPECT_EQ(topLeft, 0xffff0000u);
    EXPECT_EQ(topRight, 0xff00ff00u);
    EXPECT_EQ(bottomLeft, 0xff0000ffu);
    EXPECT_EQ(bottomRight, 0x80ffffffu);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WinePngTexture,
                         ::testing::Values(PngSize{2, 2}, PngSize{4, 4}, PngSize{8, 4}));

TEST_F(WineDirect3D, TruncatedPngGivesNoTexture) {
    IDirect3DTexture9* raw = nullptr;
    const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
        device.get(), palettePng.data(), 33, 2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
        D3DX_FILTER_POINT, D3DX_DEFAULT, 0, nullptr, nullptr, &raw);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(raw, nullptr);
    if (raw != nullptr) {
        raw->Release();
    }
}

}  // namespace
