#pragma once

#include <cstdint>
#include <vector>

namespace overlay_test {

// An 8-bit indexed-colour PNG without a PLTE chunk, as logos are broadcast: signature, IHDR,
// IDAT (stored deflate blocks, so no compressor is needed on any platform), IEND.
std::vector<uint8_t> IndexedPngWithoutPalette(uint32_t width, uint32_t height,
                                              const std::vector<uint8_t>& indices);

}  // namespace overlay_test
