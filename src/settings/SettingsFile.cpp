#include "SettingsFile.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "CodePage932.h"
#include "DurableFile.h"
#include "SettingsLines.h"

void ReadSettingsText(std::string_view text, SettingsTable& table) {
    std::string section;
    for (size_t at = 0; at < text.size();) {
        const SettingsLine line = ReadSettingsLine(text, at);
        at = line.next;
        if (line.kind == SettingsLine::Section) section = line.name;
        if (line.Taken()) table[section][std::string(line.name)] = StoredValue(text, line);
    }
}

bool IsUtf16Text(std::string_view bytes) {
    return bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
}

std::string Utf16ToSettingsText(std::string_view bytes) {
    const bool bigEndian = bytes.substr(0, 2) == "\xFE\xFF";
    std::string text;
    std::u16string line;
    for (size_t at = 2; at + 1 < bytes.size() || !line.empty(); at += 2) {
        const bool end = at + 1 >= bytes.size();
        if (!end) {
            const auto high = static_cast<uint8_t>(bytes[bigEndian ? at : at + 1]);
            const auto low = static_cast<uint8_t>(bytes[bigEndian ? at + 1 : at]);
            line.push_back(static_cast<char16_t>(high << 8 | low));
        }
        if (!end && line.back() != u'\n') continue;
        if (const std::optional<std::string> narrow = CodePage932FromUtf16(line)) text += *narrow;
        line.clear();
    }
    return text;
}

void ReadSettingsFile(const boost::filesystem::path& path, SettingsTable& table) {
    if (path.empty()) return;
    // Read in the native form of the path, which keeps every character of a wide Windows path,
    // sharing the file with a writer that replaces it meanwhile.
    std::vector<uint8_t> bytes, scratch;
    if (!ReadWholeFile(path, bytes, scratch)) return;
    const std::string text(bytes.begin(), bytes.end());
    ReadSettingsText(IsUtf16Text(text) ? Utf16ToSettingsText(text) : text, table);
}
