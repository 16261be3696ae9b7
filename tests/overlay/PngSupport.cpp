#include "PngSupport.h"

#include <png.h>
#include <zlib.h>

#include <stdexcept>

namespace overlay_test {
namespace {

std::uint32_t ReadBigEndian(const Bytes& bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

void WriteBigEndian(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

}  // namespace

Bytes PalettePng(int width, int height, const std::vector<std::uint8_t>& indices,
                 const std::vector<Rgba>& palette) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA_COLORMAP;
    image.colormap_entries = static_cast<png_uint_32>(palette.size());
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, indices.data(), 0, palette.data())) {
        throw std::runtime_error(image.message);
    }
    Bytes png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, indices.data(), 0,
                                   palette.data())) {
        throw std::runtime_error(image.message);
    }
    png.resize(size);
    return png;
}

Bytes WithoutChunk(const Bytes& png, const std::string& type) {
    Bytes out(png.begin(), png.begin() + 8);
    for (std::size_t at = 8; at + 12 <= png.size();) {
        std::size_t length = ReadBigEndian(png, at) + 12;
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) != type) {
            out.insert(out.end(), png.begin() + at, png.begin() + at + length);
        }
        at += length;
    }
    return out;
}

Bytes WithSize(const Bytes& png, std::uint32_t width, std::uint32_t height) {
    Bytes out = png;
    // IHDR is the first chunk: length at 8, type at 12, width at 16, height at 20, CRC at 29.
    WriteBigEndian(out, 16, width);
    WriteBigEndian(out, 20, height);
    WriteBigEndian(out, 29, static_cast<std::uint32_t>(crc32(0, out.data() + 12, 17)));
    return out;
}

}  // namespace overlay_test
