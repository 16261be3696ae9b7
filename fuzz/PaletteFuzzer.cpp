// A logo's bytes through palette completion and into a texture, as the overlay makes it; then,
// for the stand-in's other paths, the same picture at its own size with and without point
// filtering, which must give the very same texels.
#include <d3dx9.h>
#include <insigno/platform_test.h>

#include <algorithm>

#include "FuzzReader.h"
#include "PaletteChunk.h"
#include "PngChunks.h"

namespace {

IDirect3DDevice9* Device() {
    static IDirect3DDevice9* device = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = L"PaletteFuzzer";
        RegisterClassW(&windowClass);
        const HWND window = CreateWindowExW(0, L"PaletteFuzzer", nullptr, WS_OVERLAPPEDWINDOW, 0, 0,
                                            64, 36, nullptr, nullptr, nullptr, nullptr);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = TRUE;
        parameters.hDeviceWindow = window;
        IDirect3DDevice9* made = nullptr;
        Direct3DCreate9(D3D_SDK_VERSION)
            ->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                           D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &made);
        FUZZ_CHECK(made);
        return made;
    }();
    return device;
}

// The texels of a texture from `png`, released at once; empty when none was made.
InsignoPlatform_Image Texture(const std::vector<uint8_t>& png, UINT width, UINT height,
                              DWORD filter) {
    IDirect3DTexture9* texture = nullptr;
    const HRESULT result = D3DXCreateTextureFromFileInMemoryEx(
        Device(), png.data(), static_cast<UINT>(png.size()), width, height, D3DX_DEFAULT, 0,
        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, filter, D3DX_DEFAULT, 0, nullptr, nullptr, &texture);
    FUZZ_CHECK((result == D3D_OK) == (texture != nullptr));
    if (!texture) return {};
    InsignoPlatform_Image texels = InsignoPlatform_TextureImage(texture);
    texture->Release();
    FUZZ_CHECK(texels.width > 0 && texels.height > 0 &&
               texels.pixels.size() == static_cast<size_t>(texels.width) * texels.height);
    return texels;
}

}  // namespace

// First byte: bit 0 repairs the chunk CRCs; the second the logo type; the rest the logo's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t liveBefore = (Device(), InsignoPlatform_LiveD3DObjects());
    FuzzReader in(data, size);
    const uint8_t mode = in.Byte();
    LogoRecord logo;
    logo.logoType = in.Byte();
    logo.data = in.Rest();
    if (mode & 0x01) FixPngCrcs(logo.data);
    logo.ApplySizeByType();

    const std::vector<uint8_t> png = InsertPalette(logo);
    if (logo.data.size() < kPaletteOffset) {
        FUZZ_CHECK(png.empty());
        return 0;
    }
    // The logo's bytes with the chunk between its IHDR and the rest, nothing else changed; or,
    // for a logo with a palette of its own, the logo's bytes as they are.
    static constexpr char kPlte[] = "PLTE";
    const bool ownPalette = png == logo.data;
    FUZZ_CHECK(!ownPalette || std::search(logo.data.begin(), logo.data.end(), kPlte, kPlte + 4) !=
                                  logo.data.end());
    // A PLTE right behind a 13-byte first chunk that is no IDAT is found in any case.
    const auto at = [&](size_t offset, const char* text) {
        return std::equal(text, text + 4, logo.data.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    const bool paletteSecond =
        logo.data.size() >= 41 && at(8, "\0\0\0\x0d") && !at(12, "IDAT") && at(37, kPlte);
    FUZZ_CHECK(ownPalette || !paletteSecond);
    if (!ownPalette) {
        FUZZ_CHECK(png.size() == logo.data.size() + kPaletteChunkSize);
        const auto chunk = png.begin() + kPaletteOffset;
        FUZZ_CHECK(std::equal(png.begin(), chunk, logo.data.begin()));
        FUZZ_CHECK(std::equal(PALETTE_CHUNK.begin(), PALETTE_CHUNK.end(), chunk));
        FUZZ_CHECK(
            std::equal(chunk + kPaletteChunkSize, png.end(), logo.data.begin() + kPaletteOffset));
    }

    const InsignoPlatform_Image shown = Texture(png, static_cast<UINT>(logo.width),
                                                static_cast<UINT>(logo.height), D3DX_FILTER_NONE);
    if (!shown.pixels.empty() && logo.width > 0) {
        FUZZ_CHECK(shown.width == logo.width && shown.height == logo.height);
    }
    if (mode & 0x02) {
        const InsignoPlatform_Image own =
            Texture(png, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, D3DX_FILTER_NONE);
        if (!own.pixels.empty()) {
            const InsignoPlatform_Image point =
                Texture(png, static_cast<UINT>(own.width), static_cast<UINT>(own.height),
                        D3DX_FILTER_POINT);
            FUZZ_CHECK(point.pixels == own.pixels);
        }
    }
    FUZZ_CHECK(InsignoPlatform_LiveD3DObjects() == liveBefore);
    return 0;
}
