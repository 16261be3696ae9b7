#include "Direct3DTestSupport.h"
#include "PngSupport.h"

namespace insigno::platform::test {
namespace {

constexpr std::uint32_t kGrey = 0x00808080;  // the overlay's clear colour
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kHalfBlue = 0x800000FF;
constexpr std::uint32_t kClear = 0x0000FF00;
constexpr std::uint32_t kGreen = 0xFF00FF00;
// kHalfBlue over kGrey: each channel, alpha included, is src * a + dst * (1 - a), a = 128/255.
constexpr std::uint32_t kHalfBlueOverGrey = 0x404040C0;

class SpriteTest : public Direct3DTest {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        ASSERT_EQ(MakeDevice(), D3D_OK);
        ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);
        // 2 x 2: red, half-transparent blue / transparent, green.
        Bytes png =
            PalettePng(2, 2, {0, 1, 2, 3},
                       {{255, 0, 0, 255}, {0, 0, 255, 128}, {0, 255, 0, 0}, {0, 255, 0, 255}});
        ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                      device, png.data(), static_cast<UINT>(png.size()), 2, 2, D3DX_DEFAULT, 0,
                      D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, 0, nullptr,
                      nullptr, &texture),
                  D3D_OK);
    }

    void TearDown() override {
        texture->Release();
        sprite->Release();
        Direct3DTest::TearDown();
    }

    // One pass as the overlay draws it.
    InsignoPlatform_Image Render(float scale, DWORD flags = D3DXSPRITE_ALPHABLEND) {
        D3DXMATRIX matrix;
        D3DXMatrixScaling(&matrix, scale, scale, 1.0f);
        EXPECT_EQ(sprite->SetTransform(&matrix), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, kGrey, 1.0f, 0);
        device->BeginScene();
        sprite->Begin(flags);
        EXPECT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF), D3D_OK);
        sprite->End();
        device->EndScene();
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        return InsignoPlatform_PresentedImage(window).value_or(InsignoPlatform_Image{});
    }

    ID3DXSprite* sprite = nullptr;
    IDirect3DTexture9* texture = nullptr;
};

TEST_F(SpriteTest, TheTextureIsScaledFromTheTopLeftAndBlendedOverTheClearColour) {
    InsignoPlatform_Image image = Render(3.0f);
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 36);
    // The centre of each texel's 3 x 3 block samples that texel alone.
    EXPECT_EQ(image.At(1, 1), kRed);
    EXPECT_EQ(image.At(4, 1), kHalfBlueOverGrey);
    EXPECT_EQ(image.At(1, 4), kGrey);  // the transparent texel leaves the grey as it was
    EXPECT_EQ(image.At(4, 4), kGreen);
    EXPECT_EQ(image.At(6, 1), kGrey);
    EXPECT_EQ(image.At(63, 35), kGrey);
}

TEST_F(SpriteTest, WithoutAlphaBlendingTexelsReplaceThePicture) {
    InsignoPlatform_Image image = Render(1.0f, 0);
    EXPECT_EQ(image.At(0, 0), kRed);
    EXPECT_EQ(image.At(1, 0), kHalfBlue);
    EXPECT_EQ(image.At(0, 1), kClear);
    EXPECT_EQ(image.At(1, 1), kGreen);
    EXPECT_EQ(image.At(2, 0), kGrey);
}

// At scale 2 pixel centres fall a quarter texel either side of the texel centres: each channel,
// alpha included, mixes the neighbours 3 : 1, and the texture's edges clamp.
TEST_F(SpriteTest, AScaledTextureIsFilteredLinearlyBetweenTexelCentres) {
    InsignoPlatform_Image image = Render(2.0f, 0);
    const struct {
        int x, y;
        std::uint32_t expected;
    } cases[] = {
        {0, 0, kRed},        // clamped at the left and top edges
        {1, 0, 0xDFBF0040},  // 3/4 red, 1/4 half-transparent blue
        {2, 0, 0xA04000BF},  // 1/4 red, 3/4 half-transparent blue
        {3, 0, kHalfBlue},   // clamped at the right edge
        {0, 1, 0xBFBF4000},  // 3/4 red, 1/4 transparent green, downwards
        {4, 0, kGrey},       // beyond the quad
    };
    for (const auto& c : cases) {
        EXPECT_EQ(image.At(c.x, c.y), c.expected) << c.x << ", " << c.y;
    }
}

TEST_F(SpriteTest, AFractionalScaleCoversThePixelsWhoseCentresItReaches) {
    InsignoPlatform_Image image = Render(1.5f);
    // 2 texels become 3 pixels: centres 0.5, 1.5 and 2.5 fall at texels 0.33, 1 and 1.67.
    EXPECT_EQ(image.At(0, 0), kRed);
    EXPECT_EQ(image.At(2, 0), kHalfBlueOverGrey);
    EXPECT_EQ(image.At(3, 0), kGrey);
    EXPECT_EQ(image.At(2, 2), kGreen);
}

TEST_F(SpriteTest, NothingIsDrawnOutsideAScene) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kGrey, 1.0f, 0);
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(InsignoPlatform_PresentedImage(window)->At(0, 0), kGrey);
}

TEST_F(SpriteTest, RotationIsRefusedRatherThanDrawnWrongly) {
    D3DXMATRIX matrix;
    D3DXMatrixScaling(&matrix, 1.0f, 1.0f, 1.0f);
    matrix._12 = 1.0f;
    EXPECT_EQ(sprite->SetTransform(&matrix), D3DERR_INVALIDCALL);
}

}  // namespace
}  // namespace insigno::platform::test
