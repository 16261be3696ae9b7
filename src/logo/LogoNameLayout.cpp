#include "LogoNameLayout.h"

#include <array>

namespace {

struct Field {
    size_t width;
    bool inKey;
};

// In name order: network id, logo id, version, type.
constexpr std::array<Field, 4> kFields{{{4, true}, {3, true}, {3, false}, {2, true}}};
constexpr char kSeparator = '_';

static_assert(kLogoFileNameLength == 4 + 3 + 3 + 2 + 3);

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void AppendHex(std::string& text, unsigned value, size_t width) {
    char digits[8];
    size_t count = 0;
    do {
        digits[count++] = "0123456789ABCDEF"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    if (count < width) text.append(width - count, '0');
    while (count > 0) text.push_back(digits[--count]);
}

}  // namespace

std::string FormatLogoName(const LogoNameFields& fields, LogoNameForm form) {
    const std::array<unsigned, 4> values{fields.originalNetworkId, fields.logoId,
                                         fields.logoVersion, fields.logoType};
    std::string name;
    name.reserve(kLogoFileNameLength);
    for (size_t i = 0; i < kFields.size(); ++i) {
        if (form == LogoNameForm::Key && !kFields[i].inKey) continue;
        if (!name.empty()) name.push_back(kSeparator);
        AppendHex(name, values[i], kFields[i].width);
    }
    return name;
}

bool ParseLogoName(std::string_view text, LogoNameFields& fields) {
    if (text.size() != kLogoFileNameLength) return false;
    std::array<unsigned, 4> values{};
    size_t at = 0;
    for (size_t i = 0; i < kFields.size(); ++i) {
        if (i > 0 && text[at++] != kSeparator) return false;
        for (size_t end = at + kFields[i].width; at < end; ++at) {
            const int digit = HexDigit(text[at]);
            if (digit < 0) return false;
            values[i] = values[i] * 16 + static_cast<unsigned>(digit);
        }
    }
    fields.originalNetworkId = static_cast<uint16_t>(values[0]);
    fields.logoId = static_cast<uint16_t>(values[1]);
    fields.logoVersion = static_cast<uint16_t>(values[2]);
    fields.logoType = static_cast<uint8_t>(values[3]);
    return true;
}
