// Drawing with the core Direct3D 9 calls the overlay makes: a managed texture filled through
// LockRect, drawn as one screen-space rectangle with the chosen filter and blending.
#include <cstring>
#include <string>

#include "Direct3DTestSupport.h"

namespace insigno::platform::test {
namespace {

constexpr std::uint32_t kGrey = 0x00808080;  // the overlay's clear colour
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kHalfBlue = 0x800000FF;
constexpr std::uint32_t kClear = 0x0000FF00;
constexpr std::uint32_t kGreen = 0xFF00FF00;
// kHalfBlue over kGrey: each channel, alpha included, is src * a + dst * (1 - a), a = 128/255.
constexpr std::uint32_t kHalfBlueOverGrey = 0x404040C0;

struct Vertex {
    float x, y, z, rhw, u, v;
};

struct DrawCase {
    const char* name;
    float scale;
    bool linear;
    bool blend;
    int x, y;
    std::uint32_t expected;
};

class DrawingTest : public Direct3DTest, public ::testing::WithParamInterface<DrawCase> {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        ASSERT_EQ(MakeDevice(), D3D_OK);
        // 2 x 2: red, half-transparent blue / transparent, green.
        ASSERT_EQ(
            device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
            D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        const std::uint32_t texels[2][2] = {{kRed, kHalfBlue}, {kClear, kGreen}};
        for (int y = 0; y < 2; ++y)
            std::memcpy(static_cast<char*>(locked.pBits) + y * locked.Pitch, texels[y], 8);
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    }

    void TearDown() override {
        texture->Release();
        Direct3DTest::TearDown();
    }

    // One picture as the overlay draws it: the texture's corner at the window's, scaled.
    InsignoPlatform_Image Draw(float scale, bool linear, bool blend) {
        const float side = 2 * scale - 0.5f;
        const Vertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0, 0},
                                {side, -0.5f, 0, 1, 1, 0},
                                {-0.5f, side, 0, 1, 0, 1},
                                {side, side, 0, 1, 1, 1}};
        const DWORD filter = linear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
        device->Clear(0, nullptr, D3DCLEAR_TARGET, kGrey, 1.0f, 0);
        device->BeginScene();
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        device->SetTexture(0, texture);
        device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
        device->SetTexture(0, nullptr);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        return InsignoPlatform_PresentedImage(window).value_or(InsignoPlatform_Image{});
    }

    IDirect3DTexture9* texture = nullptr;
};

TEST_P(DrawingTest, EachPixelShowsTheTexelsUnderItsCentre) {
    const DrawCase& c = GetParam();
    EXPECT_EQ(Draw(c.scale, c.linear, c.blend).At(c.x, c.y), c.expected);
}

// At scale 2 pixel centres fall a quarter texel either side of the texel centres: linear
// filtering mixes each channel, alpha included, 3 : 1, and the texture's edges clamp.
INSTANTIATE_TEST_SUITE_P(
    Core, DrawingTest,
    ::testing::Values(DrawCase{"OwnSizeRed", 1, true, false, 0, 0, kRed},
                      DrawCase{"OwnSizeHalfBlue", 1, true, false, 1, 0, kHalfBlue},
                      DrawCase{"OwnSizeTransparent", 1, true, false, 0, 1, kClear},
                      DrawCase{"BeyondTheQuad", 1, true, false, 2, 0, kGrey},
                      DrawCase{"BlendedHalfBlue", 3, true, true, 4, 1, kHalfBlueOverGrey},
                      DrawCase{"BlendedTransparent", 3, true, true, 1, 4, kGrey},
                      DrawCase{"BlendedOpaque", 3, true, true, 4, 4, kGreen},
                      DrawCase{"LinearClampedEdge", 2, true, false, 0, 0, kRed},
                      DrawCase{"LinearThreeQuartersRed", 2, true, false, 1, 0, 0xDFBF0040},
                      DrawCase{"LinearQuarterRed", 2, true, false, 2, 0, 0xA04000BF},
                      DrawCase{"LinearDownwards", 2, true, false, 0, 1, 0xBFBF4000},
                      DrawCase{"PointNearerTexel", 2, false, false, 1, 0, kRed},
                      DrawCase{"PointNextTexel", 2, false, false, 2, 0, kHalfBlue},
                      DrawCase{"FractionalScaleReachesCentre", 1.5f, true, true, 2, 0,
                               kHalfBlueOverGrey},
                      DrawCase{"FractionalScaleStopsShort", 1.5f, true, true, 3, 0, kGrey}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace insigno::platform::test
