#include "SettingsFile.h"

#include <filesystem>
#include <fstream>

namespace {

constexpr const char* kBlanks = " \t\r\n\v\f";

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// ';' and '#' start a comment anywhere, also inside quotes.
void CutComment(std::string& line) {
    const size_t semicolon = line.find(';');
    if (semicolon != std::string::npos) line.erase(semicolon);
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
}

}  // namespace

void ReadSettingsFile(const boost::filesystem::path& path, SettingsTable& table) {
    if (path.empty()) return;
    // Opened through the standard path, which keeps every character of a wide Windows path;
    // Boost's stream would narrow it to the system code page first with MinGW's library.
    std::ifstream in(std::filesystem::path(path.native()));
    if (!in.is_open()) return;
    std::string section;
    std::string raw;
    bool first = true;
    while (std::getline(in, raw)) {
        // Editors that save UTF-8 may put a byte-order mark before the first line; left there it
        // would hide a section header on that line.
        if (first && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
        first = false;
        CutComment(raw);
        const std::string line = Trimmed(raw);
        if (line.empty()) continue;
        if (line.front() == '[') {
            const size_t close = line.find(']', 1);
            if (close != std::string::npos) {
                // Taken exactly as written: "[ LogoMark ]" names another section.
                section = line.substr(1, close - 1);
                continue;
            }
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = Trimmed(line.substr(0, equals));
        std::string value = Trimmed(line.substr(equals + 1));
        if (key.empty() || value.empty()) continue;
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        table[section][key] = value;
    }
}
