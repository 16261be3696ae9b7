// PNG reading with zlib alone, so that every build of the stand-in reads a scenario's pictures
// the same way.

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "insigno/host/Text.h"
#include "insigno/host/ViewerLogos.h"

namespace insigno::host {
namespace {

std::uint32_t BigEndian(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Undoes the row filters in place; `rows` holds a filter byte before each row.
bool Unfilter(std::vector<unsigned char>& rows, std::size_t stride, int height, int bpp,
              std::vector<unsigned char>& out) {
    out.assign(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* in = rows.data() + (stride + 1) * static_cast<std::size_t>(y);
        unsigned char* row = out.data() + stride * static_cast<std::size_t>(y);
        const unsigned char* up = y > 0 ? row - stride : nullptr;
        for (std::size_t x = 0; x < stride; ++x) {
            const int a = x >= static_cast<std::size_t>(bpp) ? row[x - bpp] : 0;
            const int b = up ? up[x] : 0;
            const int c = up && x >= static_cast<std::size_t>(bpp) ? up[x - bpp] : 0;
            int predictor = 0;
            switch (in[0]) {
                case 0:
                    break;
                case 1:
                    predictor = a;
                    break;
                case 2:
                    predictor = b;
                    break;
                case 3:
                    predictor = (a + b) / 2;
                    break;
                case 4:
                    predictor = Paeth(a, b, c);
                    break;
                default:
                    return false;
            }
            row[x] = static_cast<unsigned char>(in[1 + x] + predictor);
        }
    }
    return true;
}

}  // namespace

bool ReadPicture(const std::filesystem::path& path, ViewerLogo& logo, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    error = "cannot read " + Utf8Path(path) + " as an 8-bit PNG";
    if (file.size() < 33 || file[1] != 'P' || file[2] != 'N' || file[3] != 'G') return false;
    std::vector<unsigned char> packed, palette;
    int width = 0, height = 0, colourType = -1;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = BigEndian(&file[at]);
        if (length > file.size() - at - 12) return false;
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const unsigned char* data = &file[at + 8];
        if (type == "IHDR" && length >= 13) {
            width = static_cast<int>(BigEndian(data));
            height = static_cast<int>(BigEndian(data + 4));
            if (data[8] != 8 || data[12] != 0) return false;
            colourType = data[9];
        } else if (type == "PLTE") {
            palette.assign(data, data + length);
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data, data + length);
        }
        at += 12 + length;
    }
    const int channels = colourType == 0   ? 1
                         : colourType == 2 ? 3
                         : colourType == 3 ? 1
                         : colourType == 6 ? 4
                                           : 0;
    if (channels == 0 || width <= 0 || height <= 0 || width > 4096 || height > 4096) return false;
    const std::size_t stride = static_cast<std::size_t>(width) * channels;
    std::vector<unsigned char> rows((stride + 1) * static_cast<std::size_t>(height));
    uLongf size = static_cast<uLongf>(rows.size());
    if (uncompress(rows.data(), &size, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
        size != rows.size()) {
        return false;
    }
    std::vector<unsigned char> pixels;
    if (!Unfilter(rows, stride, height, channels, pixels)) return false;
    logo.width = width;
    logo.height = height;
    logo.pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < logo.pixels.size(); ++i) {
        const unsigned char* p = &pixels[i * channels];
        std::uint32_t r = p[0], g = p[0], b = p[0], alpha = 0xFF;
        if (colourType == 3) {
            if (std::size_t{p[0]} * 3 + 2 >= palette.size()) return false;
            r = palette[p[0] * 3];
            g = palette[p[0] * 3 + 1];
            b = palette[p[0] * 3 + 2];
        } else if (channels >= 3) {
            g = p[1];
            b = p[2];
            if (channels == 4) alpha = p[3];
        }
        logo.pixels[i] = (alpha << 24) | (r << 16) | (g << 8) | b;
    }
    return true;
}

}  // namespace insigno::host
