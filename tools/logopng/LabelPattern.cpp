#include <algorithm>
#include <array>
#include <string_view>

#include "LogoPng.h"

namespace {

constexpr int kGlyphWidth = 3;
constexpr int kGlyphHeight = 5;

// Rows top to bottom, '1' is ink; 3 x 5 cells per glyph.
constexpr std::string_view kDigits[] = {
    "111101101101111", "010110010010111", "111001111100111", "111001111001111", "101101111001001",
    "111100111001111", "111100111101111", "111001001010010", "111101111101111", "111101111001111"};
constexpr std::string_view kLetters[] = {
    "010101111101101", "110101110101110", "011100100100011", "110101101101110", "111100110100111",
    "111100110100100", "011100101101011", "101101111101101", "111010010010111", "001001001101010",
    "101101110101101", "100100100100111", "101111111101101", "110101101101101", "010101101101010",
    "110101110100100", "010101101110011", "110101110101101", "011100010001110", "111010010010010",
    "101101101101111", "101101101101010", "101101111111101", "101101010101101", "101101010010010",
    "111001010100111"};
constexpr std::string_view kBlank = "000000000000000";

std::string_view Glyph(char c) {
    if (c >= '0' && c <= '9') return kDigits[c - '0'];
    if (c >= 'A' && c <= 'Z') return kLetters[c - 'A'];
    if (c == '-') return "000000111000000";
    if (c == '.') return "000000000000010";
    return kBlank;
}

}  // namespace

PixelIndex LabelPattern(std::string text, int width, int height, uint8_t background,
                        uint8_t foreground, uint8_t border) {
    const int cells = text.empty() ? 0 : static_cast<int>(text.size()) * (kGlyphWidth + 1) - 1;
    // The 1-pixel frame stays clear of the text; at least scale 1 even if the text is clipped.
    const int scale =
        cells == 0 ? 1 : std::max(1, std::min((width - 2) / cells, (height - 2) / kGlyphHeight));
    const int left = (width - cells * scale) / 2;
    const int top = (height - kGlyphHeight * scale) / 2;

    return [=, text = std::move(text)](int x, int y) -> uint8_t {
        if (x == 0 || y == 0 || x == width - 1 || y == height - 1) return border;
        const int cx = x - left;
        const int cy = y - top;
        if (cx < 0 || cy < 0 || cx >= cells * scale || cy >= kGlyphHeight * scale) {
            return background;
        }
        const int column = cx / scale;
        const int glyphColumn = column % (kGlyphWidth + 1);
        if (glyphColumn == kGlyphWidth) return background;
        const std::string_view glyph = Glyph(text[column / (kGlyphWidth + 1)]);
        return glyph[(cy / scale) * kGlyphWidth + glyphColumn] == '1' ? foreground : background;
    };
}
