#include "PaletteChunk.h"

std::vector<uint8_t> InsertPalette(const LogoRecord& logo) {
    const std::vector<uint8_t>& png = logo.data;
    if (png.size() < kPaletteOffset) return {};
    std::vector<uint8_t> completed;
    completed.reserve(png.size() + PALETTE_CHUNK.size());
    completed.insert(completed.end(), png.begin(), png.begin() + kPaletteOffset);
    completed.insert(completed.end(), PALETTE_CHUNK.begin(), PALETTE_CHUNK.end());
    completed.insert(completed.end(), png.begin() + kPaletteOffset, png.end());
    return completed;
}
