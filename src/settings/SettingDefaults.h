#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "SettingNames.h"
#include "SettingsFile.h"

// Whether a value text is acceptable for its key.
using SettingRule = std::function<bool(const std::string& value)>;

namespace SettingRules {
SettingRule NonEmptyText();
SettingRule IntBetween(int32_t low, int32_t high);  // inclusive
SettingRule IntGreaterThan(int32_t bound);
SettingRule IntOneOf(int32_t first, int32_t second);
SettingRule RealBetween(double low, double high);  // inclusive
SettingRule IntAtLeast(int32_t bound);
SettingRule Unchecked();
}  // namespace SettingRules

// Makes table[kSettingsSection][key] hold an accepted value: a missing key or a value the rule
// rejects becomes defaultText; an accepted value stays exactly as written.
void ApplyDefault(SettingsTable& table, const std::string& key, const SettingRule& rule,
                  const std::string& defaultText);

// One key of the plug-in: its rule and its default text. The reader's defaults and the settings
// dialog's checks both come from this one table.
struct SettingKey {
    const char* name;
    SettingRule rule;
    std::string defaultText;
};

// The eleven keys of the plug-in, in their fixed order.
const std::vector<SettingKey>& SettingKeys();
// The entry of a key of the plug-in; null for any other name.
const SettingKey* FindSettingKey(const std::string& name);
// The entry of a key of the plug-in; std::invalid_argument for any other name.
const SettingKey& SettingKeyNamed(const std::string& name);

// ApplyDefault for the eleven keys of the plug-in, in their fixed order.
void ApplyDefaults(SettingsTable& table);

// The value of a key of kSettingsSection; empty when absent.
std::string SettingValue(const SettingsTable& table, const std::string& key);
