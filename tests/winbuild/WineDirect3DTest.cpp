// Direct3D 9 as the overlay uses it, on a child window, with Wine's implementation: device
// creation with the overlay's fallbacks, clearing and presenting, and a managed texture filled
// through LockRect drawn as one blended, filtered quad: the same pixels as the Linux stand-in's.
#include "TestWindow.h"

#include <d3d9.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

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

// The back buffer's pixel at (x, y), read back through a system-memory copy.
std::uint32_t BackBufferPixel(IDirect3DDevice9* device, int x, int y) {
    IDirect3DSurface9* raw = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &raw))) return 0xDEADBEEF;
    ComPtr<IDirect3DSurface9> backBuffer(raw);
    D3DSURFACE_DESC desc{};
    backBuffer->GetDesc(&desc);
    raw = nullptr;
    if (FAILED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                   D3DPOOL_SYSTEMMEM, &raw, nullptr)))
        return 0xDEADBEEF;
    ComPtr<IDirect3DSurface9> copy(raw);
    device->GetRenderTargetData(backBuffer.get(), copy.get());
    D3DLOCKED_RECT locked{};
    if (FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return 0xDEADBEEF;
    const std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(
        static_cast<const std::uint8_t*>(locked.pBits) + locked.Pitch * y)[x];
    copy->UnlockRect();
    return pixel & 0xffffff;
}

struct QuadCase {
    float scale;
    bool linear;
    int x, y;
    std::uint32_t expected;  // RGB over the grey clear colour
};

class WineQuad : public WineDirect3D, public ::testing::WithParamInterface<QuadCase> {};

// A 2 x 2 texture (red, half-transparent blue / transparent, green) drawn as the overlay draws its
// logo: its corner at the window's, each vertex half a pixel up and left, blended over grey.
TEST_P(WineQuad, DrawsTheTexelsTheStandInDraws) {
    const QuadCase& c = GetParam();
    IDirect3DTexture9* raw = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &raw, nullptr),
              D3D_OK);
    ComPtr<IDirect3DTexture9> texture(raw);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const std::uint32_t texels[2][2] = {{0xFFFF0000, 0x800000FF}, {0x0000FF00, 0xFF00FF00}};
    for (int y = 0; y < 2; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch, texels[y], 8);
    texture->UnlockRect(0);

    struct Vertex {
        float x, y, z, rhw, u, v;
    };
    const float side = 2 * c.scale - 0.5f;
    const Vertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0, 0},
                            {side, -0.5f, 0, 1, 1, 0},
                            {-0.5f, side, 0, 1, 0, 1},
                            {side, side, 0, 1, 1, 1}};
    const DWORD filter = c.linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00808080, 1.0f, 0);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    device->SetTexture(0, texture.get());
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
    device->SetTexture(0, nullptr);
    device->EndScene();

    const std::uint32_t pixel = BackBufferPixel(device.get(), c.x, c.y);
    // Rasterisers round the last bit of a filtered channel either way.
    for (int shift = 0; shift < 24; shift += 8) {
        const int got = static_cast<int>((pixel >> shift) & 0xFF);
        const int want = static_cast<int>((c.expected >> shift) & 0xFF);
        EXPECT_NEAR(got, want, 2) << std::hex << "pixel " << pixel << ", expected " << c.expected;
    }
}

// The stand-in's own table (tests/platform), blended over grey: 3 : 1 mixes at scale 2 with
// linear filtering, the nearer texel with point filtering, the texture's edges clamped.
INSTANTIATE_TEST_SUITE_P(
    Quads, WineQuad,
    ::testing::Values(QuadCase{1, true, 0, 0, 0xFF0000}, QuadCase{3, true, 4, 1, 0x4040C0},
                      QuadCase{3, true, 1, 4, 0x808080}, QuadCase{3, true, 4, 4, 0x00FF00},
                      QuadCase{2, false, 1, 0, 0xFF0000}, QuadCase{2, false, 2, 0, 0x4040C0},
                      QuadCase{2, true, 0, 0, 0xFF0000}, QuadCase{1, true, 2, 0, 0x808080}));

}  // namespace
