#include "PngChunk.h"

#include <boost/crc.hpp>

uint32_t PngChunkCrc(const uint8_t* typeAndData, size_t size) {
    boost::crc_32_type crc;
    crc.process_bytes(typeAndData, size);
    return crc.checksum();
}

void AppendPngU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t PngU32At(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

void AppendPngChunk(std::vector<uint8_t>& png, const char (&type)[5],
                    const std::vector<uint8_t>& data) {
    AppendPngU32(png, static_cast<uint32_t>(data.size()));
    const size_t typeAt = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    AppendPngU32(png, PngChunkCrc(png.data() + typeAt, png.size() - typeAt));
}
