#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Palette index of the pixel at (x, y); x runs 0..width-1, y runs 0..height-1.
using PixelIndex = std::function<uint8_t(int x, int y)>;

// An indexed-colour PNG (colour type 3) without a PLTE chunk, the way broadcasters send logos:
// signature, IHDR, one zlib-compressed IDAT, IEND. libpng refuses to write colour type 3 without
// a palette, hence the hand-made chunks. bitDepth is 1, 2, 4 or 8; every index must fit in it.
// Throws std::invalid_argument for a size outside 1..65535, another depth or an index too wide.
std::vector<uint8_t> WriteLogoPng(int width, int height, const PixelIndex& pixel, int bitDepth = 8);

// A recognisable picture for a person looking at a snapshot: `text` (digits, upper-case letters,
// '-', '.', ' ') in a 3x5 pixel font, scaled up as far as it fits and centred, in colour
// `foreground` over a `background` frame of colour `border`.
PixelIndex LabelPattern(std::string text, int width, int height, uint8_t background,
                        uint8_t foreground, uint8_t border);
