#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace insigno::host {

// UTF-8 of a null-terminated wide string of the platform (UTF-16 on Windows); "" for null.
std::string Utf8FromWide(const WCHAR* text);
// A path as UTF-8 text for the report, whatever characters it holds.
std::string Utf8Path(const std::filesystem::path& path);

}  // namespace insigno::host
