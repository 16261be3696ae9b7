#include "RgbaPng.h"

#include <zlib.h>

#include <array>

namespace {

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, static_cast<uint32_t>(
                          crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt))));
}

}  // namespace

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
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    // 8 bits a sample, colour type 6 (RGBA), deflate, adaptive filters, no interlace. IHDR is the
    // first chunk, so the overlay's palette insertion behind it keeps the file valid (a suggested
    // palette, which decoders of true-colour images ignore).
    header.insert(header.end(), {8, 6, 0, 0, 0});
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}
