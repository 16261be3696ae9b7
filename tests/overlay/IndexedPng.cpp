#include "IndexedPng.h"

#include <algorithm>
#include <boost/crc.hpp>

namespace overlay_test {
namespace {

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    boost::crc_32_type crc;
    crc.process_bytes(out.data() + typeAt, out.size() - typeAt);
    PutBigEndian(out, crc.checksum());
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(raw.size() - at, 0xFFFF);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(length));
        out.push_back(static_cast<uint8_t>(length >> 8));
        out.push_back(static_cast<uint8_t>(~length));
        out.push_back(static_cast<uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + length);
        at += length;
    } while (at < raw.size());
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

}  // namespace

std::vector<uint8_t> IndexedPngWithoutPalette(uint32_t width, uint32_t height,
                                              const std::vector<uint8_t>& indices) {
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8 bits, indexed, deflate, no interlace
    PutChunk(png, "IHDR", header);
    std::vector<uint8_t> rows;
    for (uint32_t y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        rows.insert(rows.end(), indices.begin() + y * width, indices.begin() + (y + 1) * width);
    }
    PutChunk(png, "IDAT", ZlibStored(rows));
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace overlay_test
