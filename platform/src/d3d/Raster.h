// Drawing a textured rectangle the way Direct3D 9 rasterises two screen-space triangles: pixel
// centres at integer coordinates, a pixel drawn when its centre lies inside (top-left rule), the
// texture sampled with point or linear filtering and clamp or wrap addressing, and the result
// written or blended source-over by the texel's alpha.
#pragma once

#include <d3d9.h>

#include "Registry.h"

namespace insigno::platform {

struct TexturedRect {
    float left, top, right, bottom;  // screen coordinates of the rectangle's edges
    float u0, v0, u1, v1;            // texture coordinates at the left/top and right/bottom edges
    bool linear;                     // D3DTEXF_LINEAR, else D3DTEXF_POINT
    bool wrap;                       // D3DTADDRESS_WRAP, else D3DTADDRESS_CLAMP
    bool alphaBlend;                 // SRCALPHA, INVSRCALPHA; else the texel replaces the pixel
};

void DrawRect(Image& target, const Image& texture, const TexturedRect& rect);

// Source-over blending of one ARGB pixel onto another, every channel weighted by the source's
// alpha (SRCALPHA, INVSRCALPHA), rounded to nearest.
std::uint32_t BlendOver(std::uint32_t source, std::uint32_t destination);

}  // namespace insigno::platform
