#pragma once

#include <windows.h>

#include <boost/filesystem/path.hpp>
#include <string>

// Paths of the module taken by characters, never by the bytes of a narrow path: in code page 932
// the second byte of a double-byte character may be 0x5C, the backslash.
struct ModulePaths {
    boost::filesystem::path directory;     // the module's folder
    boost::filesystem::path settingsFile;  // beside the module, its name with ".ini"
};

ModulePaths FindModulePaths(HINSTANCE module);

// A path setting, as the settings file holds it: text in the system code page.
boost::filesystem::path SettingPath(const std::string& text);
