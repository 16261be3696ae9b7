#include "Text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace insigno::platform {
namespace {

// One conversion with glibc's iconv. An invalid or unconvertible input unit is replaced by
// `replacement` (already in the target encoding) and skipped, so a conversion never fails.
std::string Convert(const char* from, const char* to, std::string_view input, std::size_t unit,
                    std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    // Closed however the conversion ends: an allocation may fail on the way.
    struct Closer {
        iconv_t cd;
        ~Closer() { iconv_close(cd); }
    } closer{cd};
    std::string output;
    char buffer[256];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        int error = errno;
        output.append(buffer, static_cast<std::size_t>(out - buffer));
        if (rc != static_cast<std::size_t>(-1) || error == E2BIG) {
            continue;
        }
        // EILSEQ: not valid in the source, or no equivalent in the target; EINVAL: cut short.
        output.append(replacement);
        std::size_t skip = inLeft < unit ? inLeft : unit;
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
}

std::string_view Bytes(const std::wstring& text) {
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)};
}

}  // namespace

std::string Cp932ToUtf8(const std::string& text) {
    return Convert("CP932", "UTF-8", text, 1, "\xEF\xBF\xBD");
}

std::string WideToUtf8(const std::wstring& text) {
    return Convert("WCHAR_T", "UTF-8", Bytes(text), sizeof(wchar_t), "\xEF\xBF\xBD");
}

std::wstring Utf8ToWide(const std::string& text) {
    std::string bytes = Convert("UTF-8", "WCHAR_T", text, 1, Bytes(std::wstring(1, L'\xFFFD')));
    std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
    return wide;
}

std::string WideToCp932(const std::wstring& text) {
    return Convert("WCHAR_T", "CP932", Bytes(text), sizeof(wchar_t), "?");
}

}  // namespace insigno::platform
