#include "SettingsWriter.h"

#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <cstdint>
#include <map>

#include "DurableFile.h"
#include "SettingNames.h"
#include "SettingsFile.h"
#include "SettingsLines.h"
#include "SettingsReplace.h"

namespace fs = boost::filesystem;

namespace {

struct Edit {
    size_t at;
    size_t length;
    std::string text;
};

}  // namespace

std::optional<std::string> WritableValue(const std::string& value) {
    if (value.find_first_of(";#\r\n") != std::string::npos) return std::nullopt;
    if (!value.empty() && (kSettingsBlanks.find(value.front()) != std::string_view::npos ||
                           kSettingsBlanks.find(value.back()) != std::string_view::npos))
        return std::nullopt;
    // The reader strips one pair of enclosing quotes: a value that has them needs another pair.
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return '"' + value + '"';
    return value;
}

std::string ApplySettingChanges(const std::string& fileText, const SettingChanges& changes) {
    std::map<std::string, SettingsLine, std::less<>> effective;  // the line the reader takes
    bool inSection = false;
    std::optional<size_t> sectionEnd;  // where a new key goes: after the last key line
    for (size_t at = 0; at < fileText.size();) {
        const SettingsLine line = ReadSettingsLine(fileText, at);
        at = line.next;
        if (line.kind == SettingsLine::Section) {
            inSection = line.name == kSettingsSection;
            if (inSection) sectionEnd = line.next;
        } else if (line.kind == SettingsLine::Key && inSection) {
            sectionEnd = line.next;
            if (line.Taken()) effective[std::string(line.name)] = line;
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
            const SettingsLine& line = found->second;
            edits.push_back({line.valueBegin, line.valueEnd - line.valueBegin, written});
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
    const fs::path file = FollowLinks(path);
    // Rounds only while other writers keep creating the missing file under our feet.
    for (int round = 0; round < 3; ++round) {
        // Read, changed and replaced under the lock: what another viewer wrote before is kept.
        const SettingsFileLock lock(file);
        if (!lock.Held()) return SettingsWrite::Failed;
        boost::system::error_code error;
        const fs::file_status status = fs::status(file, error);
        if (status.type() == fs::status_error) return SettingsWrite::Failed;
        const bool exists = fs::exists(status);
        std::string text;
        if (exists) {
            // Read-only by its owner's choice: even where the rename would succeed, it is not
            // ours to replace.
            if ((status.permissions() & fs::owner_write) == 0) return SettingsWrite::ReadOnly;
            std::vector<uint8_t> bytes, scratch;
            if (!ReadWholeFile(file, bytes, scratch)) return SettingsWrite::Failed;
            text.assign(bytes.begin(), bytes.end());
            // Code page 932 lines in a UTF-16 file would make it neither.
            if (IsUtf16Text(text)) return SettingsWrite::Utf16;
        } else {
            text = SampleSettingsText();
        }
        switch (ReplaceSettingsFile(file, exists, ApplySettingChanges(text, changes))) {
            case Replaced::Done:
                return SettingsWrite::Written;
            case Replaced::Appeared:
                continue;  // another writer made the file meanwhile: change that one
            case Replaced::Failed:
                return SettingsWrite::Failed;
        }
    }
    return SettingsWrite::Failed;
}
