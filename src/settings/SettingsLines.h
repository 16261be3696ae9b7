#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The one reader of the settings file's lines. ReadSettingsFile fills its table from it and the
// writer finds the value to replace with it, so both always agree on which bytes are a value.

// One line of the text as the reader takes it; offsets count from the start of the whole text.
struct SettingsLine {
    enum Kind {
        Ignored,  // blank, comment only, or a line the reader skips
        Section,  // a header: `name` is the section's name
        Key,      // `name` is the key; an empty value range is a line the reader skips
    };
    Kind kind = Ignored;
    std::string_view name;
    size_t valueBegin = 0;  // the value as written: blanks and comment cut, quotes kept
    size_t valueEnd = 0;
    size_t next = 0;  // where the next line starts (the text's size after the last one)

    // A key line whose value the reader stores.
    bool Taken() const { return kind == Key && valueEnd > valueBegin; }
};

// The line of `text` that starts at `begin` (0 or another line's `next`); a UTF-8 byte-order mark
// at the very start is skipped.
SettingsLine ReadSettingsLine(std::string_view text, size_t begin);

// The value the reader stores for a taken line: its text without one pair of enclosing quotes.
std::string StoredValue(std::string_view text, const SettingsLine& line);
