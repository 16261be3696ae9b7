#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace insigno::platform {
namespace {

std::uint32_t Channel(std::uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}

std::uint32_t Modulate(std::uint32_t texel, D3DCOLOR color) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        out |= ((Channel(texel, shift) * Channel(color, shift) + 127) / 255) << shift;
    }
    return out;
}

// The destination pixels whose centres fall inside [from, to), within [0, size).
void Covered(double from, double to, int size, int& first, int& end) {
    if (from > to) {
        std::swap(from, to);
    }
    first = static_cast<int>(std::clamp(std::ceil(from - 0.5), 0.0, static_cast<double>(size)));
    end = static_cast<int>(std::clamp(std::ceil(to - 0.5), 0.0, static_cast<double>(size)));
}

// The texture filtered linearly at (u, v) in texel units, texel centres at +0.5 and the edges
// clamped, as the sampler state D3DX sets for its sprites (linear filtering, clamp addressing).
std::uint32_t Sample(const Image& texture, double u, double v) {
    const double x = u - 0.5, y = v - 0.5;
    const double left = std::floor(x), top = std::floor(y);
    const double fx = x - left, fy = y - top;
    auto clampTo = [](double value, int size) {
        return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(size - 1)));
    };
    const int x0 = clampTo(left, texture.width), x1 = clampTo(left + 1, texture.width);
    const int y0 = clampTo(top, texture.height), y1 = clampTo(top + 1, texture.height);
    const std::uint32_t corners[4] = {texture.At(x0, y0), texture.At(x1, y0), texture.At(x0, y1),
                                      texture.At(x1, y1)};
    const double weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        double mixed = 0;
        for (int i = 0; i < 4; ++i) mixed += weights[i] * Channel(corners[i], shift);
        out |= static_cast<std::uint32_t>(std::clamp(std::lround(mixed), 0L, 255L)) << shift;
    }
    return out;
}

}  // namespace

std::uint32_t BlendOver(std::uint32_t source, std::uint32_t destination) {
    std::uint32_t alpha = Channel(source, 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        std::uint32_t mixed =
            (Channel(source, shift) * alpha + Channel(destination, shift) * (255 - alpha) + 127) /
            255;
        out |= mixed << shift;
    }
    return out;
}

void DrawQuad(Image& target, const Image& texture, const SpriteQuad& quad) {
    LONG sourceWidth = quad.source.right - quad.source.left;
    LONG sourceHeight = quad.source.bottom - quad.source.top;
    if (sourceWidth <= 0 || sourceHeight <= 0 || quad.scaleX == 0 || quad.scaleY == 0) {
        return;
    }
    double left = static_cast<double>(quad.left) * quad.scaleX + quad.offsetX;
    double right = (static_cast<double>(quad.left) + sourceWidth) * quad.scaleX + quad.offsetX;
    double top = static_cast<double>(quad.top) * quad.scaleY + quad.offsetY;
    double bottom = (static_cast<double>(quad.top) + sourceHeight) * quad.scaleY + quad.offsetY;
    int x0, x1, y0, y1;
    Covered(left, right, target.width, x0, x1);
    Covered(top, bottom, target.height, y0, y1);
    for (int y = y0; y < y1; ++y) {
        // Back from the pixel's centre to the texture, in texel units.
        const double v = ((y + 0.5) - quad.offsetY) / quad.scaleY - quad.top + quad.source.top;
        for (int x = x0; x < x1; ++x) {
            const double u =
                ((x + 0.5) - quad.offsetX) / quad.scaleX - quad.left + quad.source.left;
            std::uint32_t texel = Modulate(Sample(texture, u, v), quad.color);
            std::uint32_t& pixel = target.pixels[static_cast<std::size_t>(y) * target.width + x];
            pixel = quad.alphaBlend ? BlendOver(texel, pixel) : texel;
        }
    }
}

}  // namespace insigno::platform
