#pragma once

#include <string>

// One axis's position setting as the overlay receives it.
struct PositionSetting {
    // Rounded to 6 significant digits on its way through text.
    double value;
    // Written with a minus sign, "-0" too: the position counts from the right or bottom edge.
    bool fromFarEdge;
};

PositionSetting ReadPositionSetting(const std::string& setting);
