#include "SettingsWriter.h"

#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <cstdint>
#include <fstream>
#include <map>
#include <string_view>

#include "DurableFile.h"
#include "SettingDefaults.h"

namespace fs = boost::filesystem;

namespace {

constexpr const char* kBlanks = " \t\r\n\v\f";

bool IsBlank(char c) {
    return std::string_view(kBlanks).find(c) != std::string_view::npos;
}

// One line of the file as the reader sees it; `end` excludes the line's own '\n' and '\r'.
struct LineView {
    size_t begin;
    size_t end;
    size_t next;  // the first byte of the next line
};

std::vector<LineView> SplitLines(const std::string& text) {
    std::vector<LineView> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t feed = text.find('\n', at);
        const size_t next = feed == std::string::npos ? text.size() : feed + 1;
        size_t end = feed == std::string::npos ? text.size() : feed;
        if (end > at && text[end - 1] == '\r') --end;
        lines.push_back({at, end, next});
        at = next;
    }
    return lines;
}

// What the reader makes of a line: a section header, a key line (with the byte range of its value
// in the file) or nothing.
struct LineMeaning {
    enum Kind { None, Section, Key } kind = None;
    std::string name;  // section or key
    size_t valueBegin = 0;
    size_t valueEnd = 0;  // empty range: a key line the reader ignores
};

LineMeaning Understand(const std::string& text, LineView line, bool first) {
    size_t begin = line.begin;
    if (first && text.compare(begin, 3, "\xEF\xBB\xBF") == 0) begin += 3;
    size_t end = line.end;
    for (size_t i = begin; i < end; ++i) {
        if (text[i] == ';' || text[i] == '#') {
            end = i;
            break;
        }
    }
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    LineMeaning meaning;
    if (begin == end) return meaning;
    if (text[begin] == '[') {
        const size_t close = text.find(']', begin + 1);
        if (close != std::string::npos && close < end) {
            meaning.kind = LineMeaning::Section;
            meaning.name = text.substr(begin + 1, close - begin - 1);
            return meaning;
        }
    }
    const size_t equals = text.find('=', begin);
    if (equals == std::string::npos || equals >= end) return meaning;
    size_t keyEnd = equals;
    while (keyEnd > begin && IsBlank(text[keyEnd - 1])) --keyEnd;
    size_t valueBegin = equals + 1;
    while (valueBegin < end && IsBlank(text[valueBegin])) ++valueBegin;
    if (keyEnd == begin) return meaning;
    meaning.kind = LineMeaning::Key;
    meaning.name = text.substr(begin, keyEnd - begin);
    meaning.valueBegin = valueBegin;
    meaning.valueEnd = end;
    return meaning;
}

struct Edit {
    size_t at;
    size_t length;
    std::string text;
};

}  // namespace

std::optional<std::string> WritableValue(const std::string& value) {
    if (value.find_first_of(";#\r\n") != std::string::npos) return std::nullopt;
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return std::nullopt;
    // The reader strips one pair of enclosing quotes: a value that has them needs another pair.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return '"' + value + '"';
    return value;
}

std::string ApplySettingChanges(const std::string& fileText, const SettingChanges& changes) {
    const std::vector<LineView> lines = SplitLines(fileText);
    std::map<std::string, LineMeaning> effective;  // the reader's last non-empty line per key
    bool inSection = false;
    std::optional<size_t> sectionEnd;  // where a new key goes: after the last key line
    for (size_t i = 0; i < lines.size(); ++i) {
        const LineMeaning meaning = Understand(fileText, lines[i], i == 0);
        if (meaning.kind == LineMeaning::Section) {
            inSection = meaning.name == kSettingsSection;
            if (inSection) sectionEnd = lines[i].next;
        } else if (meaning.kind == LineMeaning::Key && inSection) {
            sectionEnd = lines[i].next;
            if (meaning.valueEnd > meaning.valueBegin) effective[meaning.name] = meaning;
        }
    }
    std::vector<Edit> edits;
    std::string added;
    for (const auto& [key, value] : changes) {
        const std::string written = WritableValue(value).value_or(value);
        const auto found = effective.find(key);
        if (found == effective.end()) {
            added += key + "=" + written + "\r\n";
        } else {
            edits.push_back({found->second.valueBegin,
                             found->second.valueEnd - found->second.valueBegin, written});
        }
    }
    std::string prefix;
    if (!added.empty()) {
        size_t at = sectionEnd.value_or(fileText.size());
        // A last line without its line end gets one before the new lines.
        if (at == fileText.size() && !fileText.empty() && fileText.back() != '\n') prefix = "\r\n";
        if (!sectionEnd)
            prefix +=
                std::string(fileText.empty() ? "" : "\r\n") + "[" + kSettingsSection + "]\r\n";
        edits.push_back({at, 0, prefix + added});
    }
    // Back to front, so that earlier offsets stay valid.
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at > b.at; });
    std::string result = fileText;
    for (const Edit& edit : edits) result.replace(edit.at, edit.length, edit.text);
    return result;
}

SettingsWrite WriteSettingChanges(const fs::path& path, const SettingChanges& changes) {
    boost::system::error_code error;
    const fs::file_status status = fs::status(path, error);
    std::string text;
    if (fs::exists(status)) {
        // Read-only by its owner's choice: even where the rename would succeed, it is not ours
        // to replace.
        if ((status.permissions() & fs::owner_write) == 0) return SettingsWrite::ReadOnly;
        std::vector<uint8_t> bytes, scratch;
        if (!ReadWholeFile(path, bytes, scratch)) return SettingsWrite::Failed;
        text.assign(bytes.begin(), bytes.end());
    } else {
        text = SampleSettingsText();
    }
    const std::string result = ApplySettingChanges(text, changes);
    fs::path temporary = path;
    temporary += ".tmp";
    const auto* data = reinterpret_cast<const uint8_t*>(result.data());
    if (WriteDurably(temporary, data, result.size()) != DurableWrite::Written ||
        !RenameDurably(temporary, path, true)) {
        fs::remove(temporary, error);
        return SettingsWrite::Failed;
    }
    SyncDirectory(path.parent_path());
    return SettingsWrite::Written;
}
