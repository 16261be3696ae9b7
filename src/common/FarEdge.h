#pragma once

// Where a logo position counts from. A position written with a minus sign in front, "-0"
// included, measures from the far (right, bottom) edge of the picture; the distance is what
// follows the sign. Settings, the settings dialog, the plug-in and the overlay all go by this.

#include <string>
#include <string_view>

namespace insigno {

struct EdgeDistance {
    bool fromFar;
    std::string distance;  // the text after the sign
};

inline bool MeasuresFromFarEdge(std::string_view position) {
    return !position.empty() && position.front() == '-';
}

inline EdgeDistance SplitAtSign(std::string_view position) {
    const bool fromFar = MeasuresFromFarEdge(position);
    return {fromFar, std::string(fromFar ? position.substr(1) : position)};
}

inline std::string JoinWithSign(bool fromFar, std::string_view distance) {
    // Appended rather than concatenated: GCC 12 at -O2 warns falsely on `"-" + s` (bug 105329).
    std::string text(fromFar ? "-" : "");
    text.append(distance);
    return text;
}

// The same rule for a position already read as a number: a zero keeps its sign only in the text
// it came from, which `minusSign` tells.
inline bool MeasuresFromFarEdge(double position, bool minusSign) {
    return position < 0 || (position == 0 && minusSign);
}

}  // namespace insigno
