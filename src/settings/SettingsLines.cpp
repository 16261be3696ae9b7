#include "SettingsLines.h"

#include "SettingNames.h"

namespace {

bool IsBlank(char c) {
    return kSettingsBlanks.find(c) != std::string_view::npos;
}

}  // namespace

SettingsLine ReadSettingsLine(std::string_view text, size_t begin) {
    SettingsLine line;
    const size_t feed = text.find('\n', begin);
    line.next = feed == std::string_view::npos ? text.size() : feed + 1;
    size_t end = feed == std::string_view::npos ? text.size() : feed;
    // Editors that save UTF-8 may put a byte-order mark before the first line; left there it
    // would hide a section header on that line.
    if (begin == 0 && text.substr(0, 3) == "\xEF\xBB\xBF") begin = 3;
    // ';' and '#' start a comment anywhere, also inside quotes.
    const size_t comment = text.substr(begin, end - begin).find_first_of(";#");
    if (comment != std::string_view::npos) end = begin + comment;
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    if (begin == end) return line;
    const std::string_view body = text.substr(begin, end - begin);
    if (body.front() == '[') {
        const size_t close = body.find(']', 1);
        if (close != std::string_view::npos) {
            // Taken exactly as written: "[ LogoMark ]" names another section.
            line.kind = SettingsLine::Section;
            line.name = body.substr(1, close - 1);
            return line;
        }
    }
    const size_t equals = body.find('=');
    if (equals == std::string_view::npos) return line;
    size_t keyEnd = equals;
    while (keyEnd > 0 && IsBlank(body[keyEnd - 1])) --keyEnd;
    if (keyEnd == 0) return line;
    size_t valueBegin = equals + 1;
    while (valueBegin < body.size() && IsBlank(body[valueBegin])) ++valueBegin;
    line.kind = SettingsLine::Key;
    line.name = body.substr(0, keyEnd);
    line.valueBegin = begin + valueBegin;
    line.valueEnd = end;
    return line;
}

std::string StoredValue(std::string_view text, const SettingsLine& line) {
    std::string_view value = text.substr(line.valueBegin, line.valueEnd - line.valueBegin);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}
