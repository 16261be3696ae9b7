#pragma once

#include <boost/filesystem/path.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Writing changed values of section "LogoMark" back into the settings file, keeping everything
// else of the user's file byte for byte: comments, other sections, unknown keys, order and line
// ends. Lines are found by the reader's own line reader (SettingsLines.h), so the value replaced
// is exactly the one the reader takes.

// Key -> new value, in the order new keys are to be added.
using SettingChanges = std::vector<std::pair<std::string, std::string>>;

// The text to put after "KEY=" so that the reader reads `value` back unchanged; nothing when no
// text can (a ';', '#' or line break in it, blanks at either end).
std::optional<std::string> WritableValue(const std::string& value);

// The file's bytes with the changes made: the value of the reader's effective line of each key
// replaced in place; a key without one added after the last key line of the last "LogoMark"
// section (a section made at the end when there is none). New lines end in CR LF. Values must
// be writable.
std::string ApplySettingChanges(const std::string& fileText, const SettingChanges& changes);

// The sample settings file's bytes (code page 932, CR LF), from which a missing file is made.
const std::string& SampleSettingsText();

enum class SettingsWrite {
    Written,   // the file holds the changes, and everything else it held at that moment
    ReadOnly,  // read-only by its owner's choice: left as it was
    Utf16,     // saved as UTF-16, which this writer does not write: left as it was
    Failed,    // not read, locked or replaced: left as it was
};

// Applies the changes to the file at `path` (to the sample's text when it does not exist) as it
// is at that moment: under a lock that other writers of it take too, it is read, changed, and
// replaced by a temporary file of this process's own, fully written and flushed. A symbolic link
// is followed: its target is the file replaced, keeping its permissions (attributes on Windows).
// Anything but Written leaves the file as it was.
SettingsWrite WriteSettingChanges(const boost::filesystem::path& path,
                                  const SettingChanges& changes);
