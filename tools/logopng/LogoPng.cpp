#include "LogoPng.h"

#include <zlib.h>

#include <stdexcept>
#include <string>

#include "PngChunk.h"

namespace {

constexpr uint8_t kColourTypeIndexed = 3;

// Filter type 0 on every row, indices packed most significant bits first.
std::vector<uint8_t> Scanlines(int width, int height, const PixelIndex& pixel, int bitDepth) {
    const size_t rowBytes = (static_cast<size_t>(width) * bitDepth + 7) / 8;
    const unsigned limit = 1u << bitDepth;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const size_t rowAt = raw.size();
        raw.resize(rowAt + rowBytes, 0);
        for (int x = 0; x < width; ++x) {
            const uint8_t index = pixel(x, y);
            if (index >= limit) {
                throw std::invalid_argument("palette index " + std::to_string(index) +
                                            " does not fit in bit depth " +
                                            std::to_string(bitDepth));
            }
            const size_t bit = static_cast<size_t>(x) * bitDepth;
            const int shift = 8 - bitDepth - static_cast<int>(bit % 8);
            raw[rowAt + bit / 8] |= static_cast<uint8_t>(index << shift);
        }
    }
    return raw;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib could not compress the image data");
    }
    out.resize(size);
    return out;
}

}  // namespace

std::vector<uint8_t> WriteLogoPng(int width, int height, const PixelIndex& pixel, int bitDepth) {
    if (width < 1 || height < 1 || width > 65535 || height > 65535) {
        throw std::invalid_argument("logo size out of range");
    }
    if (bitDepth != 1 && bitDepth != 2 && bitDepth != 4 && bitDepth != 8) {
        throw std::invalid_argument("bit depth of an indexed PNG is 1, 2, 4 or 8");
    }

    std::vector<uint8_t> header;
    AppendPngU32(header, static_cast<uint32_t>(width));
    AppendPngU32(header, static_cast<uint32_t>(height));
    header.push_back(static_cast<uint8_t>(bitDepth));
    header.push_back(kColourTypeIndexed);
    header.push_back(0);  // compression: deflate
    header.push_back(0);  // filter method 0
    header.push_back(0);  // no interlace

    std::vector<uint8_t> png(kPngSignature.begin(), kPngSignature.end());
    AppendPngChunk(png, "IHDR", header);
    AppendPngChunk(png, "IDAT", Deflate(Scanlines(width, height, pixel, bitDepth)));
    AppendPngChunk(png, "IEND", {});
    return png;
}
