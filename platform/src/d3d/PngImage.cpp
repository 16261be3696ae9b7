#include "PngImage.h"

#include <png.h>

#include <bit>

namespace insigno::platform {

// libpng's simplified reader applies the palette, tRNS and bit-depth expansions itself and
// reports errors as results, so no longjmp crosses C++ frames.
std::optional<Image> DecodePng(const void* data, std::size_t size) {
    static_assert(std::endian::native == std::endian::little,
                  "BGRA bytes read as 0xAARRGGBB only on a little-endian machine");
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size)) {
        return std::nullopt;
    }
    if (png.width == 0 || png.height == 0 || !SaneSize(png.width, png.height)) {
        png_image_free(&png);
        return std::nullopt;
    }
    png.format = PNG_FORMAT_BGRA;
    Image image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.resize(static_cast<std::size_t>(png.width) * png.height);
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return std::nullopt;
    }
    return image;
}

}  // namespace insigno::platform
