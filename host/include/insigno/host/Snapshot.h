#pragma once

#include <filesystem>
#include <string>

#include "insigno/host/Probe.h"

namespace insigno::host {

// The background the snapshot shows where the overlay is not: a gradient no logo pixel matches
// by chance, so a snapshot shows at a glance where the overlay sits.
std::uint32_t BackgroundPixel(int x, int y, int width, int height);

// Whether `image` has pixels to write (`error` set when not); both PNG writers check it first.
bool HasPicture(const Image& image, std::string& error);

// Writes an 8-bit RGB PNG; false with `error` set when it cannot (or where PNG writing is not
// built in).
bool WritePng(const Image& image, const std::filesystem::path& path, std::string& error);

}  // namespace insigno::host
