#pragma once

#include <boost/filesystem/path.hpp>
#include <map>
#include <string>
#include <string_view>

// Section name -> key -> value, all byte text compared byte by byte (case-sensitive).
using SettingsTable = std::map<std::string, std::map<std::string, std::string>>;

// Parses the INI-style file at path into table. A missing or unreadable file leaves the table
// as it was; nothing is ever reported. Bytes are used as they are (the viewer's code page 932);
// only a UTF-8 byte-order mark before the first line is skipped. A file saved as UTF-16 (with
// its byte-order mark, as Notepad's "Unicode" writes it) is read as its text in code page 932,
// as the viewer's own profile functions would read it.
void ReadSettingsFile(const boost::filesystem::path& path, SettingsTable& table);

// The same for the file's bytes, already read (code page 932).
void ReadSettingsText(std::string_view text, SettingsTable& table);

// Whether the bytes start with a UTF-16 byte-order mark (either order).
bool IsUtf16Text(std::string_view bytes);

// A UTF-16 file's bytes (byte-order mark first) as code page 932 text, line by line; a line with
// a character that code page lacks is left out, as if it were not there.
std::string Utf16ToSettingsText(std::string_view bytes);
