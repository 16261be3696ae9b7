#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

// Decodes a PNG with libpng's simplified API into 8-bit RGB; `error` holds libpng's message when
// it refuses the file.
struct DecodedPng {
    bool ok = false;
    std::string error;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

inline DecodedPng DecodePng(const std::vector<uint8_t>& bytes) {
    DecodedPng out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        out.error = image.message;
        return out;
    }
    image.format = PNG_FORMAT_RGB;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) {
        out.error = image.message;
        png_image_free(&image);
        return out;
    }
    out.ok = true;
    return out;
}
