#pragma once

#include <boost/filesystem/path.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Writing changed values of section "LogoMark" back into the settings file, keeping everything
// else of the user's file byte for byte: comments, other sections, unknown keys, order and line
// ends. Lines are found with the reader's own rules, so the value replaced is the one the reader
// would take.

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

enum class SettingsWrite { Written, ReadOnly, Failed };

// Applies the changes to the file at `path` (to the sample's text when it does not exist),
// through a temporary file beside it that replaces it only once fully written and flushed.
// A read-only file is left alone (ReadOnly); on any failure the old file stays as it was.
SettingsWrite WriteSettingChanges(const boost::filesystem::path& path,
                                  const SettingChanges& changes);
