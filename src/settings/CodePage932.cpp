#include "CodePage932.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

#ifdef _WIN32

std::optional<std::string> CodePage932FromUtf16(std::u16string_view text) {
    if (text.empty()) return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int count = static_cast<int>(text.size());
    BOOL lost = FALSE;
    const int length =
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, count, nullptr, 0, nullptr, &lost);
    if (length <= 0 || lost) return std::nullopt;
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, count, narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

#else

std::optional<std::string> CodePage932FromUtf16(std::u16string_view text) {
    const iconv_t converter = iconv_open("CP932", "UTF-16LE");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in;
    for (const char16_t unit : text) {
        in.push_back(static_cast<char>(unit & 0xFF));
        in.push_back(static_cast<char>(unit >> 8));
    }
    std::string narrow(in.size() * 2 + 4, '\0');  // a character takes at most two bytes
    char* from = in.data();
    char* to = narrow.data();
    size_t fromLeft = in.size(), toLeft = narrow.size();
    const bool converted =
        iconv(converter, &from, &fromLeft, &to, &toLeft) != static_cast<size_t>(-1);
    iconv_close(converter);
    if (!converted) return std::nullopt;
    narrow.resize(narrow.size() - toLeft);
    return narrow;
}

#endif
