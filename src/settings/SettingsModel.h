#pragma once

#include <map>
#include <string>
#include <vector>

#include "SettingsWriter.h"

// The settings dialog's model: the values of the eleven keys, the fields the user edits and the
// translation between them, checked with the reader's own rules. The dialog procedure only moves
// these fields in and out of its controls.

// Key -> value text of section "LogoMark", after the defaults.
using SettingValues = std::map<std::string, std::string>;

// One axis of the position: a distance from one edge of the picture.
struct AxisFields {
    bool pixels = false;   // the distance in pixels, else as a fraction of the picture
    bool fromFar = false;  // from the right or bottom edge, else from the left or top
    std::string amount;    // the distance, without a sign
};

enum class TimeMode { Seconds, Always, Never };

struct SettingsFields {
    std::string directory;  // code page 932 bytes, as in the file
    int type = 5;
    std::string scale;
    bool fixedScale = false;
    AxisFields x;
    AxisFields y;
    TimeMode time = TimeMode::Seconds;
    std::string seconds;  // used with TimeMode::Seconds
};

struct EditResult {
    std::vector<std::string> rejected;  // keys whose field the rules refuse; they keep their value
    bool unitChanged = false;           // an axis changed unit: its fields are to be shown anew
};

class SettingsModel {
public:
    explicit SettingsModel(SettingValues values);

    SettingsFields Fields() const;
    // Takes what the user entered. A field whose text is unchanged keeps its value's text as
    // written; an axis whose unit changed takes only the new unit.
    EditResult Edit(const SettingsFields& fields);

    const SettingValues& Values() const { return values; }
    const SettingValues& Initial() const { return initial; }
    // The keys whose value differs from the initial one, in the file's key order.
    SettingChanges Changes() const;

private:
    bool Take(const std::string& key, const std::string& text, EditResult& result);
    void TakeAxis(const AxisFields& fields, const char* fixedKey, const char* pixelKey,
                  const char* rateKey, EditResult& result);
    AxisFields Axis(const char* fixedKey, const char* pixelKey, const char* rateKey) const;
    int Number(const std::string& key) const;

    SettingValues initial;
    SettingValues values;
};
