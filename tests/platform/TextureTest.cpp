#include <functional>

#include "Direct3DTestSupport.h"
#include "PngSupport.h"

namespace insigno::platform::test {
namespace {

// A 4 x 2 palette image with an opaque, a half-transparent and a fully transparent colour.
const std::vector<Rgba> kPalette{
    {255, 0, 0, 255}, {0, 0, 255, 128}, {0, 255, 0, 0}, {0, 255, 0, 255}};
const std::vector<std::uint8_t> kIndices{0, 1, 2, 3, 3, 2, 1, 0};
const std::uint32_t kArgb[] = {0xFFFF0000, 0x800000FF, 0x0000FF00, 0xFF00FF00};

std::uint32_t Source(int x, int y) {
    return kArgb[kIndices[static_cast<std::size_t>(y) * 4 + x]];
}

class TextureTest : public Direct3DTest {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        ASSERT_EQ(MakeDevice(), D3D_OK);
    }

    HRESULT Load(const Bytes& png, UINT width, UINT height, DWORD filter,
                 IDirect3DTexture9** texture) {
        return D3DXCreateTextureFromFileInMemoryEx(
            device, png.data(), static_cast<UINT>(png.size()), width, height, D3DX_DEFAULT, 0,
            D3DFMT_UNKNOWN, D3DPOOL_MANAGED, filter, D3DX_DEFAULT, 0, nullptr, nullptr, texture);
    }
};

struct SizeCase {
    const char* name;
    UINT width, height;  // as requested
    DWORD filter;
    int textureWidth, textureHeight;
    std::function<std::uint32_t(int, int)> expected;
};

class TextureSizeTest : public TextureTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(TextureSizeTest, APaletteImageWithTransparencyBecomesArgbTexelsOfTheRequestedSize) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(Load(PalettePng(4, 2, kIndices, kPalette), GetParam().width, GetParam().height,
                   GetParam().filter, &texture),
              D3D_OK);
    InsignoPlatform_Image texels = InsignoPlatform_TextureImage(texture);
    EXPECT_EQ(texels.width, GetParam().textureWidth);
    EXPECT_EQ(texels.height, GetParam().textureHeight);
    texture->Release();
    for (int y = 0; y < texels.height; ++y) {
        for (int x = 0; x < texels.width; ++x) {
            EXPECT_EQ(texels.At(x, y), GetParam().expected(x, y)) << x << ", " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, TextureSizeTest,
    ::testing::Values(SizeCase{"ImageSize", 4, 2, D3DX_FILTER_NONE, 4, 2, Source},
                      // Without a filter nothing is scaled: the image sits at the top left.
                      SizeCase{"LargerUnfiltered", 6, 3, D3DX_FILTER_NONE, 6, 3,
                               [](int x, int y) { return x < 4 && y < 2 ? Source(x, y) : 0u; }},
                      SizeCase{"SmallerUnfiltered", 2, 1, D3DX_FILTER_NONE, 2, 1, Source},
                      SizeCase{"DoubledByPoint", 8, 4, D3DX_FILTER_POINT, 8, 4,
                               [](int x, int y) { return Source(x / 2, y / 2); }},
                      SizeCase{"HalvedByPoint", 2, 1, D3DX_FILTER_POINT, 2, 1,
                               [](int x, int y) { return Source(x * 2 + 1, y * 2 + 1); }},
                      // The file's size as it is, or rounded up to a power of two.
                      SizeCase{"FromTheFile", D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2,
                               D3DX_FILTER_NONE, 4, 2, Source},
                      SizeCase{"FromTheFileRounded", 0, 0, D3DX_FILTER_NONE, 4, 2, Source}),
    [](const auto& param) { return param.param.name; });

struct BadCase {
    const char* name;
    std::function<Bytes()> png;
    UINT width, height;
};

class BadTextureTest : public TextureTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadTextureTest, IsRefusedWithoutATexture) {
    IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(this);
    Bytes png = GetParam().png();
    EXPECT_TRUE(FAILED(Load(png, GetParam().width, GetParam().height, D3DX_FILTER_NONE, &texture)));
    EXPECT_EQ(texture, nullptr);
}

Bytes Logo() {
    return PalettePng(4, 2, kIndices, kPalette);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadTextureTest,
    ::testing::Values(
        // A broadcast logo before its palette is inserted.
        BadCase{"PaletteWithoutPlte", [] { return WithoutChunk(Logo(), "PLTE"); }, 4, 2},
        BadCase{"CutShort",
                [] {
                    Bytes png = Logo();
                    png.resize(png.size() / 2);
                    return png;
                },
                4, 2},
        BadCase{"NotAPng", [] { return Bytes{'n', 'o', 't', ' ', 'P', 'N', 'G'}; }, 4, 2},
        // Dimensions that would need gigabytes are refused before anything is allocated.
        BadCase{"AbsurdHeader", [] { return WithSize(Logo(), 100000, 100000); }, 4, 2},
        BadCase{"TooWide",
                [] { return PalettePng(16385, 1, std::vector<std::uint8_t>(16385), kPalette); },
                D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2},
        BadCase{"AbsurdRequest", Logo, 100000, 100000}),
    [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace insigno::platform::test
