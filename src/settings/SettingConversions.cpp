#include "SettingConversions.h"

#include <algorithm>
#include <limits>
#include <locale>
#include <sstream>

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsHexForm(const std::string& text) {
    return text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
           std::all_of(text.begin() + 2, text.end(), IsHexDigit);
}

}  // namespace

int32_t ToInt(const std::string& text) {
    constexpr int32_t kStart = std::numeric_limits<int32_t>::min();
    if (text.empty()) return kStart;
    std::istringstream in;
    in.imbue(std::locale::classic());
    if (IsHexForm(text)) {
        in.str(text.substr(2));
        in >> std::hex;
    } else {
        in.str(text);
    }
    // Read wide and check the range here: extracting straight into 32 bits would store the
    // clamped limit on overflow, where the starting value must stay.
    long long value = 0;
    in >> value;
    if (in.fail()) return kStart;
    if (value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        return kStart;
    }
    return static_cast<int32_t>(value);
}

double ToReal(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    // Since C++11 a failed extraction stores 0 when nothing could be read, where the starting
    // value stays; a number out of range fails too but stores the limit of its sign (1e999 is
    // the largest double), which is what a stream gives.
    constexpr double kLargest = std::numeric_limits<double>::max();
    if (in.fail() && value != kLargest && value != -kLargest)
        return std::numeric_limits<double>::lowest();
    return value;
}

std::string FormatReal(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}
