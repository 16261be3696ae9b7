// PNG decoding for textures.
#pragma once

#include <cstddef>
#include <optional>

#include "Registry.h"

namespace insigno::platform {

// Decodes any PNG (palette with tRNS included) to ARGB. Empty for data libpng rejects (also a
// palette image without PLTE) and for images beyond kMaxDimension or kMaxPixels, which are
// refused before their pixels are allocated.
std::optional<Image> DecodePng(const void* data, std::size_t size);

}  // namespace insigno::platform
