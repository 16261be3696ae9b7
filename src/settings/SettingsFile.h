#pragma once

#include <boost/filesystem/path.hpp>
#include <map>
#include <string>

// Section name -> key -> value, all byte text compared byte by byte (case-sensitive).
using SettingsTable = std::map<std::string, std::map<std::string, std::string>>;

// Parses the INI-style file at path into table. A missing or unreadable file leaves the table
// as it was; nothing is ever reported. Bytes are used as they are (the viewer's code page 932);
// only a UTF-8 byte-order mark before the first line is skipped.
void ReadSettingsFile(const boost::filesystem::path& path, SettingsTable& table);
