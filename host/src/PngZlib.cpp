// PNG writing with zlib and the module's own chunk writer (Windows): one IDAT chunk of unfiltered
// rows.

#include <zlib.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "PngChunk.h"
#include "insigno/host/Snapshot.h"

namespace insigno::host {

bool WritePng(const Image& image, const std::filesystem::path& path, std::string& error) {
    if (!HasPicture(image, error)) return false;
    std::vector<unsigned char> rows;
    rows.reserve(static_cast<std::size_t>(image.height) * (1 + 3 * image.width));
    const std::uint32_t* pixel = image.pixels.data();
    for (int y = 0; y < image.height; ++y) {
        rows.push_back(0);  // filter: none
        for (int x = 0; x < image.width; ++x, ++pixel) {
            rows.push_back(static_cast<unsigned char>(*pixel >> 16));
            rows.push_back(static_cast<unsigned char>(*pixel >> 8));
            rows.push_back(static_cast<unsigned char>(*pixel));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        error = "zlib failed compressing the picture";
        return false;
    }
    packed.resize(packedSize);

    std::vector<unsigned char> header;
    AppendPngU32(header, static_cast<std::uint32_t>(image.width));
    AppendPngU32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter, no interlace
    std::vector<unsigned char> out(kPngSignature.begin(), kPngSignature.end());
    AppendPngChunk(out, "IHDR", header);
    AppendPngChunk(out, "IDAT", packed);
    AppendPngChunk(out, "IEND", {});

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(_wfopen(path.c_str(), L"wb"),
                                                         &std::fclose);
    if (!file || std::fwrite(out.data(), 1, out.size(), file.get()) != out.size()) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

}  // namespace insigno::host
