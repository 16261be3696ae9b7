#include "AxisOffset.h"

#include "Settings.h"

AxisOffset ReadAxisOffset(const std::string& setting) {
    const std::string text = FormatReal(ToReal(setting));
    const double value = ToReal(text);
    return AxisOffset{value, value < 0 || (value == 0 && !text.empty() && text[0] == '-')};
}
