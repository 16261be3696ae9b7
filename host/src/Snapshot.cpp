#include "insigno/host/Snapshot.h"

#include "insigno/host/Host.h"

namespace insigno::host {

std::uint32_t BackgroundPixel(int x, int y, int width, int height) {
    const auto r = static_cast<std::uint32_t>(16 + 48 * x / (width > 0 ? width : 1));
    const auto g = static_cast<std::uint32_t>(40 + 80 * y / (height > 0 ? height : 1));
    const std::uint32_t b = ((x / 32 + y / 32) % 2) ? 0x70 : 0x60;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

bool HasPicture(const Image& image, std::string& error) {
    if (image.width > 0 && image.height > 0 &&
        image.pixels.size() == static_cast<std::size_t>(image.width) * image.height)
        return true;
    error = "no picture to write";
    return false;
}

std::optional<Image> Host::Snapshot() const {
    Image image;
    image.width = windows.Width();
    image.height = windows.Height();
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            image.pixels[static_cast<std::size_t>(y) * image.width + x] =
                BackgroundPixel(x, y, image.width, image.height);
        }
    }
    const OverlayInfo overlay = windows.Overlay();
    if (!overlay.exists || !overlay.visible) return image;
    const auto presented = PresentedImage(windows.FindOverlay());
    if (!presented) return std::nullopt;
    // The presented back buffer may lag a resize by a pass; draw what was presented, clipped.
    for (int y = 0; y < presented->height && y < overlay.height; ++y) {
        for (int x = 0; x < presented->width && x < overlay.width; ++x) {
            const int tx = overlay.x + x, ty = overlay.y + y;
            if (tx < 0 || ty < 0 || tx >= image.width || ty >= image.height) continue;
            image.pixels[static_cast<std::size_t>(ty) * image.width + tx] =
                0xFF000000u | presented->pixels[static_cast<std::size_t>(y) * presented->width + x];
        }
    }
    return image;
}

}  // namespace insigno::host
