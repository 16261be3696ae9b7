#include "LogoImage.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <cmath>

namespace insigno {
namespace {

// The source cells [first, end) under one destination cell of a scaled axis, with the share of
// each that the destination cell covers.
struct Span {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Span> Spans(int source, int destination) {
    std::vector<Span> spans(static_cast<std::size_t>(destination));
    const double ratio = static_cast<double>(source) / destination;
    for (int d = 0; d < destination; ++d) {
        const double from = d * ratio, to = (d + 1) * ratio;
        Span& span = spans[static_cast<std::size_t>(d)];
        span.first = std::min(static_cast<int>(from), source - 1);
        for (int s = span.first; s < source && s < to; ++s) {
            span.weights.push_back(std::min<double>(s + 1, to) - std::max<double>(s, from));
        }
    }
    return spans;
}

uint32_t Channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}

// Each destination pixel is the average of the source area it covers, colours weighted by
// alpha so that transparent pixels lend no colour to the edges of what they surround.
LogoImage Scale(const LogoImage& source, int width, int height) {
    const std::vector<Span> columns = Spans(source.width, width);
    const std::vector<Span> rows = Spans(source.height, height);
    LogoImage scaled{width, height,
                     std::vector<uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        const Span& row = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            const Span& column = columns[static_cast<std::size_t>(x)];
            double area = 0, alpha = 0, colour[3] = {0, 0, 0};
            for (std::size_t j = 0; j < row.weights.size(); ++j) {
                const uint32_t* line = source.pixels.data() +
                                       static_cast<std::size_t>(row.first + static_cast<int>(j)) *
                                           static_cast<std::size_t>(source.width);
                for (std::size_t i = 0; i < column.weights.size(); ++i) {
                    const uint32_t pixel = line[column.first + static_cast<int>(i)];
                    const double weight = row.weights[j] * column.weights[i];
                    const double weightedAlpha = weight * Channel(pixel, 24);
                    area += weight;
                    alpha += weightedAlpha;
                    for (int c = 0; c < 3; ++c)
                        colour[c] += weightedAlpha * Channel(pixel, 16 - 8 * c);
                }
            }
            uint32_t out = static_cast<uint32_t>(std::lround(alpha / area)) << 24;
            for (int c = 0; alpha > 0 && c < 3; ++c)
                out |= static_cast<uint32_t>(std::lround(colour[c] / alpha)) << (16 - 8 * c);
            scaled.pixels[static_cast<std::size_t>(y) * width + x] = out;
        }
    }
    return scaled;
}

}  // namespace

// libpng's simplified reader applies palettes, tRNS and bit-depth expansions itself and reports
// errors as results, so no longjmp crosses C++ frames.
std::optional<LogoImage> DecodeLogoImage(const uint8_t* data, std::size_t size, int width,
                                         int height) {
    if (width <= 0 || height <= 0 || width > kMaxLogoSide || height > kMaxLogoSide) return {};
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size)) return {};
    if (png.width == 0 || png.height == 0 || png.width > kMaxLogoSide ||
        png.height > kMaxLogoSide) {
        png_image_free(&png);
        return {};
    }
    static_assert(std::endian::native == std::endian::little,
                  "BGRA bytes are 0xAARRGGBB words only on a little-endian machine");
    png.format = PNG_FORMAT_BGRA;
    LogoImage image{static_cast<int>(png.width), static_cast<int>(png.height), {}};
    image.pixels.resize(static_cast<std::size_t>(png.width) * png.height);
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return {};
    }
    if (image.width == width && image.height == height) return image;
    return Scale(image, width, height);
}

}  // namespace insigno
