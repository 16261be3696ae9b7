// Conversions between the "ANSI" code page (932), UTF-8 and wide characters.
#include <windows.h>

#include <cstring>
#include <string>

#include "Text.h"

namespace {

using insigno::platform::Cp932ToUtf8;
using insigno::platform::Utf8ToWide;
using insigno::platform::WideToCp932;
using insigno::platform::WideToUtf8;

// Copies `text` as the Win32 conversions answer: the needed length when `capacity` is 0, else
// the length written, or 0 when it does not fit.
template <typename Char>
int Answer(const std::basic_string<Char>& text, Char* out, int capacity) {
    const int length = static_cast<int>(text.size());
    if (capacity == 0) return length;
    if (!out || capacity < length) return 0;
    std::memcpy(out, text.data(), text.size() * sizeof(Char));
    return length;
}

}  // namespace

extern "C" int WINAPI MultiByteToWideChar(UINT CodePage, DWORD, LPCSTR lpMultiByteStr,
                                          int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar) {
    if (CodePage == 932) CodePage = CP_ACP;  // "ANSI" is code page 932 here
    if (!lpMultiByteStr || (CodePage != CP_ACP && CodePage != CP_UTF8)) return 0;
    // With -1 the terminating null is converted and counted too.
    const std::string text = cbMultiByte < 0
                                 ? std::string(lpMultiByteStr, std::strlen(lpMultiByteStr) + 1)
                                 : std::string(lpMultiByteStr, static_cast<size_t>(cbMultiByte));
    return Answer(Utf8ToWide(CodePage == CP_ACP ? Cp932ToUtf8(text) : text), lpWideCharStr,
                  cchWideChar);
}

extern "C" int WINAPI WideCharToMultiByte(UINT CodePage, DWORD, LPCWSTR lpWideCharStr,
                                          int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                          LPCSTR, LPBOOL lpUsedDefaultChar) {
    if (CodePage == 932) CodePage = CP_ACP;
    if (!lpWideCharStr || (CodePage != CP_ACP && CodePage != CP_UTF8)) return 0;
    const std::wstring text = cchWideChar < 0
                                  ? std::wstring(lpWideCharStr, std::wcslen(lpWideCharStr) + 1)
                                  : std::wstring(lpWideCharStr, static_cast<size_t>(cchWideChar));
    if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
    return Answer(CodePage == CP_ACP ? WideToCp932(text) : WideToUtf8(text), lpMultiByteStr,
                  cbMultiByte);
}
