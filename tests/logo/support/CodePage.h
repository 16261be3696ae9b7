#pragma once

// A folder name that the system's ANSI code page cannot hold, for the wide-path tests: on
// Windows the first of "Zoë" (outside code page 932), a Japanese and a Greek name that the code
// page lacks; elsewhere "Zoë" in UTF-8. Empty when the code page holds them all.

#include <boost/filesystem/path.hpp>

#ifdef _WIN32
#include <windows.h>
#endif

namespace logo_files {

inline boost::filesystem::path NameOutsideCodePage() {
#ifdef _WIN32
    for (const wchar_t* name : {L"Zo\u00EB", L"\u30ED\u30B4", L"\u0396\u03C9\u03AE"}) {
        BOOL lost = FALSE;
        char narrow[64];
        const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, narrow,
                                               sizeof narrow, nullptr, &lost);
        if (length > 0 && lost) return boost::filesystem::path(std::wstring(name));
    }
    return {};
#else
    return boost::filesystem::path("Zo\xC3\xAB");
#endif
}

}  // namespace logo_files
