#include "SettingDefaults.h"

#include <stdexcept>

#include "SettingConversions.h"

namespace SettingRules {

SettingRule NonEmptyText() {
    return [](const std::string& value) { return !value.empty(); };
}

SettingRule IntBetween(int32_t low, int32_t high) {
    return [=](const std::string& value) {
        const int32_t number = ToInt(value);
        return number >= low && number <= high;
    };
}

SettingRule IntGreaterThan(int32_t bound) {
    return [=](const std::string& value) { return ToInt(value) > bound; };
}

SettingRule IntOneOf(int32_t first, int32_t second) {
    return [=](const std::string& value) {
        const int32_t number = ToInt(value);
        return number == first || number == second;
    };
}

SettingRule RealBetween(double low, double high) {
    return [=](const std::string& value) {
        const double number = ToReal(value);
        return number >= low && number <= high;
    };
}

SettingRule IntAtLeast(int32_t bound) {
    return [=](const std::string& value) { return ToInt(value) >= bound; };
}

SettingRule Unchecked() {
    return [](const std::string&) { return true; };
}

}  // namespace SettingRules

void ApplyDefault(SettingsTable& table, const std::string& key, const SettingRule& rule,
                  const std::string& defaultText) {
    auto& section = table[kSettingsSection];
    const auto entry = section.find(key);
    if (entry == section.end()) {
        section.emplace(key, defaultText);
        return;
    }
    if (!rule(entry->second)) entry->second = defaultText;
}

const std::vector<SettingKey>& SettingKeys() {
    using namespace SettingRules;
    using namespace SettingName;
    static const std::vector<SettingKey> keys{
        {kLogoDirectory, NonEmptyText(), "./Logo"},
        {kLogoType, IntBetween(0, 5), "5"},
        {kLogoScale, IntGreaterThan(0), "100"},
        {kEnableFixedScale, IntOneOf(0, 1), "0"},
        {kEnableFixedPositionX, IntOneOf(0, 1), "0"},
        {kEnableFixedPositionY, IntOneOf(0, 1), "0"},
        {kPositionX, Unchecked(), FormatReal(0.0)},
        {kPositionY, Unchecked(), FormatReal(0.0)},
        {kPositionRateX, RealBetween(-1.0, 1.0), FormatReal(0.0)},
        {kPositionRateY, RealBetween(-1.0, 1.0), FormatReal(0.0)},
        {kDisplaySeconds, IntAtLeast(-1), "5"},
    };
    return keys;
}

const SettingKey* FindSettingKey(const std::string& name) {
    for (const SettingKey& key : SettingKeys())
        if (name == key.name) return &key;
    return nullptr;
}

const SettingKey& SettingKeyNamed(const std::string& name) {
    const SettingKey* key = FindSettingKey(name);
    if (!key) throw std::invalid_argument("no setting named " + name);
    return *key;
}

void ApplyDefaults(SettingsTable& table) {
    for (const SettingKey& key : SettingKeys())
        ApplyDefault(table, key.name, key.rule, key.defaultText);
}

std::string SettingValue(const SettingsTable& table, const std::string& key) {
    const auto section = table.find(kSettingsSection);
    if (section == table.end()) return {};
    const auto entry = section->second.find(key);
    return entry == section->second.end() ? std::string() : entry->second;
}
