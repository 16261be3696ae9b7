// Drawing a sprite: a texture rectangle scaled and moved onto a picture, filtered linearly as
// D3DX's sprites are (neighbouring texels, even outside the rectangle, mix in), with the colour
// modulation and source-over alpha blending of a sprite drawn with D3DXSPRITE_ALPHABLEND.
#pragma once

#include <d3d9.h>

#include "Registry.h"

namespace insigno::platform {

struct SpriteQuad {
    RECT source;      // texels to draw
    float left, top;  // where the source's top left lands before the transform
    float scaleX, scaleY, offsetX, offsetY;  // the transform: x' = x * scaleX + offsetX
    D3DCOLOR color;
    bool alphaBlend;
};

void DrawQuad(Image& target, const Image& texture, const SpriteQuad& quad);

// Source-over blending of one ARGB pixel onto another, every channel weighted by the source's
// alpha (SRCALPHA, INVSRCALPHA), rounded to nearest.
std::uint32_t BlendOver(std::uint32_t source, std::uint32_t destination);

}  // namespace insigno::platform
