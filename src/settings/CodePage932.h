#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text in code page 932 (the viewer's, the settings file's); nothing when one of its
// characters has no place in that code page.
std::optional<std::string> CodePage932FromUtf16(std::u16string_view text);
