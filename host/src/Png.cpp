#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "insigno/host/Snapshot.h"

namespace insigno::host {
namespace {

// libpng reports errors with longjmp: this frame holds no C++ object that longjmp could skip.
bool WriteRgb(std::FILE* file, const Image& image, png_bytep row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::uint32_t* pixel = image.pixels.data();
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x, ++pixel) {
            row[x * 3] = static_cast<png_byte>(*pixel >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(*pixel >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(*pixel);
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const Image& image, const std::filesystem::path& path, std::string& error) {
    if (!HasPicture(image, error)) return false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.string().c_str(), "wb"),
                                                         &std::fclose);
    if (!file) {
        error = "cannot create " + path.string();
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(image.width) * 3);
    if (!WriteRgb(file.get(), image, row.data())) {
        error = "libpng failed writing " + path.string();
        return false;
    }
    return true;
}

}  // namespace insigno::host
