#pragma once

#include <cstdint>
#include <vector>

// A PNG of 8-bit RGBA pixels (rows top to bottom, four bytes a pixel), for logos that come as
// pixels rather than as broadcast PNG: the overlay decodes every logo from PNG bytes. Empty when
// the size is not positive or the pixels are too few.
std::vector<uint8_t> EncodeRgbaPng(int width, int height, const std::vector<uint8_t>& rgba);
