#pragma once

#include <string>

// One axis's offset setting as the overlay receives it.
struct AxisOffset {
    // Rounded to 6 significant digits on its way through text.
    double value;
    // Negative, or written as minus zero: the offset counts from the right or bottom edge.
    bool negative;
};

AxisOffset ReadAxisOffset(const std::string& setting);
