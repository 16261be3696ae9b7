#include "Placement.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace insigno {

int TruncToInt(double value) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    if (std::isnan(value)) return 0;
    // Both bounds are exact doubles, and every value between them truncates into int's range.
    if (value <= static_cast<double>(kMin)) return kMin;
    if (value >= static_cast<double>(kMax)) return kMax;
    return static_cast<int>(value);
}

double LogoScaleFactor(bool fixedScale, int logoScale, int zoom) {
    if (fixedScale) return logoScale / 100.0;
    // In double from the start: the product of two percentages may not fit an int.
    return static_cast<double>(zoom) * logoScale / 10000.0;
}

WindowSize ScaledSize(double scale, int textureWidth, int textureHeight) {
    return {TruncToInt(scale * textureWidth), TruncToInt(scale * textureHeight)};
}

Picture FitPicture(int clientWidth, int clientHeight, int aspectX, int aspectY) {
    const double w = clientWidth;
    const double h = clientHeight;
    const double fullWidthHeight = w * aspectY / aspectX;
    if (TruncToInt(fullWidthHeight) > clientHeight) {
        const double vw = h * aspectX / aspectY;
        return {(w - vw) * 0.5, 0.0, vw, h};
    }
    return {0.0, (h - fullWidthHeight) * 0.5, w, fullWidthHeight};
}

int PlaceOnAxis(double start, double extent, int windowExtent, const AxisOffset& offset) {
    double origin = start;
    if (offset.fromFar) origin = origin + extent - windowExtent;
    const int placed = offset.fixed ? TruncToInt(origin + offset.position)
                                    : TruncToInt(origin + offset.position * extent);
    // Only the edge opposite the anchor bounds the logo; the anchor side may push it out.
    if (offset.fromFar) return std::max(placed, TruncToInt(origin - extent + windowExtent));
    return std::min(placed, TruncToInt(origin + extent - windowExtent));
}

WindowPosition PlaceLogo(const Picture& picture, WindowSize window, const AxisOffset& x,
                         const AxisOffset& y) {
    return {PlaceOnAxis(picture.x0, picture.width, window.width, x),
            PlaceOnAxis(picture.y0, picture.height, window.height, y)};
}

}  // namespace insigno
