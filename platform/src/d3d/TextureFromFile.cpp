// D3DXCreateTextureFromFileInMemoryEx for PNG data.
#include <d3dx9.h>

#include "Device.h"
#include "PngImage.h"
#include "Texture.h"

namespace insigno::platform {
namespace {

UINT RoundUpToPowerOfTwo(UINT value) {
    UINT power = 1;
    while (power < value) {
        power <<= 1;
    }
    return power;
}

// D3DX's rule: 0 or D3DX_DEFAULT takes the image's size rounded up to a power of two,
// D3DX_DEFAULT_NONPOW2 the image's size as it is.
UINT TextureSize(UINT requested, int imageSize) {
    if (requested == D3DX_DEFAULT_NONPOW2) {
        return static_cast<UINT>(imageSize);
    }
    if (requested == 0 || requested == D3DX_DEFAULT) {
        return RoundUpToPowerOfTwo(static_cast<UINT>(imageSize));
    }
    return requested;
}

Image Blank(UINT width, UINT height) {
    Image image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    return image;
}

// D3DX_FILTER_NONE: no scaling; the image sits at the top left, cut to the texture, and texels
// it does not cover are transparent black.
Image Place(const Image& image, UINT width, UINT height) {
    Image texels = Blank(width, height);
    int w = std::min(image.width, texels.width), h = std::min(image.height, texels.height);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            texels.pixels[static_cast<std::size_t>(y) * texels.width + x] = image.At(x, y);
        }
    }
    return texels;
}

// D3DX_FILTER_POINT: each texel takes the image pixel under its centre.
Image Scale(const Image& image, UINT width, UINT height) {
    Image texels = Blank(width, height);
    for (int y = 0; y < texels.height; ++y) {
        int sy = static_cast<int>((static_cast<std::uint64_t>(y) * 2 + 1) * image.height /
                                  (std::uint64_t{2} * texels.height));
        for (int x = 0; x < texels.width; ++x) {
            int sx = static_cast<int>((static_cast<std::uint64_t>(x) * 2 + 1) * image.width /
                                      (std::uint64_t{2} * texels.width));
            texels.pixels[static_cast<std::size_t>(y) * texels.width + x] = image.At(sx, sy);
        }
    }
    return texels;
}

}  // namespace
}  // namespace insigno::platform

// One mip level is made whatever MipLevels asks, and neither source information nor a palette is
// reported: the callers draw level 0 and pass null for both.
extern "C" HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(
    IDirect3DDevice9* pDevice, LPCVOID pSrcData, UINT SrcDataSize, UINT Width, UINT Height,
    UINT /*MipLevels*/, DWORD /*Usage*/, D3DFORMAT Format, D3DPOOL /*Pool*/, DWORD Filter,
    DWORD /*MipFilter*/, D3DCOLOR /*ColorKey*/, D3DXIMAGE_INFO* /*pSrcInfo*/,
    PALETTEENTRY* /*pPalette*/, IDirect3DTexture9** ppTexture) {
    using namespace insigno::platform;
    if (!ppTexture) {
        return D3DERR_INVALIDCALL;
    }
    *ppTexture = nullptr;
    // The low byte names the filter; the bits above (dither, mirror) change nothing here.
    DWORD filter = Filter & 0xFF;
    if (!pDevice || !pSrcData || SrcDataSize == 0 ||
        (filter != D3DX_FILTER_NONE && filter != D3DX_FILTER_POINT) ||
        (Format != D3DFMT_UNKNOWN && Format != D3DFMT_A8R8G8B8 && Format != D3DFMT_X8R8G8B8)) {
        return D3DERR_INVALIDCALL;
    }
    std::optional<Image> image = DecodePng(pSrcData, SrcDataSize);
    if (!image) {
        return D3DXERR_INVALIDDATA;
    }
    UINT width = TextureSize(Width, image->width);
    UINT height = TextureSize(Height, image->height);
    if (width == 0 || height == 0 || !SaneSize(width, height)) {
        return D3DERR_INVALIDCALL;
    }
    Image texels =
        filter == D3DX_FILTER_NONE ? Place(*image, width, height) : Scale(*image, width, height);
    if (Format == D3DFMT_X8R8G8B8) {
        for (std::uint32_t& texel : texels.pixels) {
            texel |= 0xFF000000u;
        }
    }
    *ppTexture = new Texture(static_cast<Device*>(pDevice), std::move(texels));
    return D3D_OK;
}
