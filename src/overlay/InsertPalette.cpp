#include <string_view>

#include "PaletteChunk.h"

namespace {

// Whether a PLTE chunk comes before the image data, where PNG puts a palette. Only the lengths
// are read: the store has checked the chunks, and a cut one simply ends the search.
bool HasOwnPalette(const std::vector<uint8_t>& png) {
    uint64_t at = 8;
    while (png.size() - at >= 8) {
        const uint8_t* chunk = png.data() + at;
        const uint64_t length = uint64_t{chunk[0]} << 24 | uint64_t{chunk[1]} << 16 |
                                uint64_t{chunk[2]} << 8 | chunk[3];
        const std::string_view type(reinterpret_cast<const char*>(chunk + 4), 4);
        if (type == "PLTE") return true;
        if (type == "IDAT") return false;
        at += 12 + length;
        if (at > png.size()) return false;
    }
    return false;
}

}  // namespace

std::vector<uint8_t> InsertPalette(const LogoRecord& logo) {
    const std::vector<uint8_t>& png = logo.data;
    if (png.size() < kPaletteOffset) return {};
    // A file of the logo folder may carry its own colours (insigno-scan --png writes such).
    if (HasOwnPalette(png)) return png;
    std::vector<uint8_t> completed;
    completed.reserve(png.size() + PALETTE_CHUNK.size());
    completed.insert(completed.end(), png.begin(), png.begin() + kPaletteOffset);
    completed.insert(completed.end(), PALETTE_CHUNK.begin(), PALETTE_CHUNK.end());
    completed.insert(completed.end(), png.begin() + kPaletteOffset, png.end());
    return completed;
}
