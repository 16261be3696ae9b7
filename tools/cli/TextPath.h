#pragma once

#include <filesystem>
#include <string>

// Paths as UTF-8 text and back: Windows file names are UTF-16, and the scanner's arguments,
// messages and JSON carry them as UTF-8 (on Linux the bytes pass unchanged).
inline std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
