// Text conversions between the code pages the stand-in meets: code page 932 ("ANSI" on a
// Japanese Windows), wide characters and UTF-8.
#pragma once

#include <string>

namespace insigno::platform {

// Bytes that are not valid code page 932 become U+FFFD.
std::string Cp932ToUtf8(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
// Characters code page 932 lacks become '?'.
std::string WideToCp932(const std::wstring& text);

}  // namespace insigno::platform
