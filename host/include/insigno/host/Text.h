#pragma once

#include <windows.h>

#include <string>

namespace insigno::host {

// UTF-8 of a null-terminated wide string of the platform (UTF-16 on Windows); "" for null.
std::string Utf8FromWide(const WCHAR* text);

}  // namespace insigno::host
