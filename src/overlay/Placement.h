#pragma once

// Size and placement arithmetic of the overlay: plain values in, plain values out, so the window
// code and the tests share it and neither needs a window system.

#include "FarEdge.h"

namespace insigno {

// Truncation toward zero, defined for every double: NaN gives 0 and values beyond int's range give
// the nearest bound (a plain cast is undefined there). In-range values truncate as a cast does.
int TruncToInt(double value);

// The overlay's scale factor: logoScale percent, or with a zoom-relative scale that percentage of
// the host's zoom percentage.
double LogoScaleFactor(bool fixedScale, int logoScale, int zoom);

struct WindowSize {
    int width;
    int height;
};

// The window size that shows a texture at the given scale, each side truncated.
WindowSize ScaledSize(double scale, int textureWidth, int textureHeight);

// The video picture inside the parent's client area: left, top, width, height.
struct Picture {
    double x0;
    double y0;
    double width;
    double height;
};

// Fits a picture of aspect aspectX:aspectY into clientWidth x clientHeight: full width and
// centred vertically (letter-box), or full height and centred horizontally (pillar-box) when the
// full-width picture would be too tall.
Picture FitPicture(int clientWidth, int clientHeight, int aspectX, int aspectY);

// One axis of the logo's offset: pixels when fixed, else a fraction of the picture's extent,
// measured from the near (left, top) or the far (right, bottom) edge.
struct AxisOffset {
    bool fixed;
    double position;
    bool fromFar;
};

// The window's coordinate on one axis for a picture spanning start .. start + extent: the offset
// from the chosen edge, kept inside the picture on that edge's opposite side only.
int PlaceOnAxis(double start, double extent, int windowExtent, const AxisOffset& offset);

struct WindowPosition {
    int x;
    int y;
};

WindowPosition PlaceLogo(const Picture& picture, WindowSize window, const AxisOffset& x,
                         const AxisOffset& y);

}  // namespace insigno
