#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace insigno::platform {
namespace {

std::uint32_t Channel(std::uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}

// The pixels whose centres fall inside [from, to), within [0, size).
void Covered(double from, double to, int size, int& first, int& end) {
    if (from > to) {
        std::swap(from, to);
    }
    first = static_cast<int>(std::clamp(std::ceil(from), 0.0, static_cast<double>(size)));
    end = static_cast<int>(std::clamp(std::ceil(to), 0.0, static_cast<double>(size)));
}

int Address(double texel, int size, bool wrap) {
    const auto index = static_cast<long long>(std::floor(texel));
    if (wrap) {
        const long long m = index % size;
        return static_cast<int>(m < 0 ? m + size : m);
    }
    return static_cast<int>(std::clamp<long long>(index, 0, size - 1));
}

// The texture at (u, v) in texel units, texel centres at +0.5.
std::uint32_t Sample(const Image& texture, double u, double v, bool linear, bool wrap) {
    if (!linear) {
        return texture.At(Address(u, texture.width, wrap), Address(v, texture.height, wrap));
    }
    const double x = u - 0.5, y = v - 0.5;
    const double left = std::floor(x), top = std::floor(y);
    const double fx = x - left, fy = y - top;
    const int x0 = Address(left, texture.width, wrap), x1 = Address(left + 1, texture.width, wrap);
    const int y0 = Address(top, texture.height, wrap), y1 = Address(top + 1, texture.height, wrap);
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

void DrawRect(Image& target, const Image& texture, const TexturedRect& rect) {
    const double width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width == 0 || height == 0 || texture.width == 0 || texture.height == 0) {
        return;
    }
    int x0, x1, y0, y1;
    Covered(rect.left, rect.right, target.width, x0, x1);
    Covered(rect.top, rect.bottom, target.height, y0, y1);
    for (int y = y0; y < y1; ++y) {
        // Texture coordinates are interpolated at the pixel's centre.
        const double t = (y - rect.top) / height;
        const double v = (rect.v0 + t * (rect.v1 - rect.v0)) * texture.height;
        for (int x = x0; x < x1; ++x) {
            const double s = (x - rect.left) / width;
            const double u = (rect.u0 + s * (rect.u1 - rect.u0)) * texture.width;
            const std::uint32_t texel = Sample(texture, u, v, rect.linear, rect.wrap);
            std::uint32_t& pixel = target.pixels[static_cast<std::size_t>(y) * target.width + x];
            pixel = rect.alphaBlend ? BlendOver(texel, pixel) : texel;
        }
    }
}

}  // namespace insigno::platform
