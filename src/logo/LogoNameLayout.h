#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The one layout of logo names: "NNNN_III_VVV_TT" (network id, logo id, version, type), each
// field hexadecimal and zero-padded to its width. The key of a logo is the same without the
// version. Formatting writes upper-case digits and never cuts a wider value; parsing takes
// exactly the widths, in either case.

struct LogoNameFields {
    uint16_t originalNetworkId = 0;
    uint16_t logoId = 0;
    uint16_t logoVersion = 0;
    uint8_t logoType = 0;
};

enum class LogoNameForm { Key, FileName };

// Length of every file name that parses.
inline constexpr size_t kLogoFileNameLength = 15;

std::string FormatLogoName(const LogoNameFields& fields, LogoNameForm form);

// True, with `fields` filled, when the whole text is a file name of the layout.
bool ParseLogoName(std::string_view text, LogoNameFields& fields);
