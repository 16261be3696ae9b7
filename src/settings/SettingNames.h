#pragma once

#include <string_view>

// The names of the settings file, written once: the reader, the writer, the dialog, the module's
// start and the viewer stand-in all take them from here.

// Every key of the plug-in lives in this section.
inline constexpr const char* kSettingsSection = "LogoMark";

namespace SettingName {
inline constexpr const char* kLogoDirectory = "LogoDirectory";
inline constexpr const char* kLogoType = "LogoType";
inline constexpr const char* kLogoScale = "LogoScale";
inline constexpr const char* kEnableFixedScale = "EnableFixedScale";
inline constexpr const char* kEnableFixedPositionX = "EnableFixedPositionX";
inline constexpr const char* kEnableFixedPositionY = "EnableFixedPositionY";
inline constexpr const char* kPositionX = "PositionX";
inline constexpr const char* kPositionY = "PositionY";
inline constexpr const char* kPositionRateX = "PositionRateX";
inline constexpr const char* kPositionRateY = "PositionRateY";
inline constexpr const char* kDisplaySeconds = "DisplaySeconds";
}  // namespace SettingName

// The white space the file's syntax trims from lines, keys and values.
inline constexpr std::string_view kSettingsBlanks = " \t\r\n\v\f";
