#include "RgbaPng.h"

#include <zlib.h>

#include "PngChunk.h"

std::vector<uint8_t> EncodeRgbaPng(int width, int height, const std::vector<uint8_t>& rgba) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return {};
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (rgba.size() < rowBytes * static_cast<size_t>(height)) return {};
    std::vector<uint8_t> rows;
    rows.reserve((rowBytes + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        const auto row = rgba.begin() + static_cast<std::ptrdiff_t>(rowBytes * y);
        rows.insert(rows.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()),
                  Z_BEST_SPEED) != Z_OK) {
        return {};
    }
    packed.resize(packedSize);

    std::vector<uint8_t> header;
    AppendPngU32(header, static_cast<uint32_t>(width));
    AppendPngU32(header, static_cast<uint32_t>(height));
    // 8 bits a sample, colour type 6 (RGBA), deflate, adaptive filters, no interlace. IHDR is the
    // first chunk, so the overlay's palette insertion behind it keeps the file valid (a suggested
    // palette, which decoders of true-colour images ignore).
    header.insert(header.end(), {8, 6, 0, 0, 0});
    std::vector<uint8_t> png(kPngSignature.begin(), kPngSignature.end());
    AppendPngChunk(png, "IHDR", header);
    AppendPngChunk(png, "IDAT", packed);
    AppendPngChunk(png, "IEND", {});
    return png;
}
