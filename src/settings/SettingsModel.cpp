#include "SettingsModel.h"

#include <locale>
#include <sstream>

#include "FarEdge.h"
#include "SettingConversions.h"
#include "SettingDefaults.h"

using namespace SettingName;

namespace {

// A distance as typed: a plain non-negative number and nothing else.
bool IsDistance(const std::string& text) {
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.'))
        return false;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    return !in.fail() && in.peek() == std::char_traits<char>::eof();
}

std::string Flag(bool on) {
    return on ? "1" : "0";
}

}  // namespace

SettingsModel::SettingsModel(SettingValues startValues)
    : initial(std::move(startValues)), values(initial) {}

int SettingsModel::Number(const std::string& key) const {
    return ToInt(values.at(key));
}

AxisFields SettingsModel::Axis(const char* fixedKey, const char* pixelKey,
                               const char* rateKey) const {
    AxisFields axis;
    axis.pixels = Number(fixedKey) != 0;
    const std::string& value = values.at(axis.pixels ? pixelKey : rateKey);
    insigno::EdgeDistance distance = insigno::SplitAtSign(value);
    axis.fromFar = distance.fromFar;
    axis.amount = std::move(distance.distance);
    return axis;
}

SettingsFields SettingsModel::Fields() const {
    SettingsFields fields;
    fields.directory = values.at(kLogoDirectory);
    fields.type = Number(kLogoType);
    fields.scale = values.at(kLogoScale);
    fields.fixedScale = Number(kEnableFixedScale) != 0;
    fields.x = Axis(kEnableFixedPositionX, kPositionX, kPositionRateX);
    fields.y = Axis(kEnableFixedPositionY, kPositionY, kPositionRateY);
    const int seconds = Number(kDisplaySeconds);
    fields.time = seconds == -1  ? TimeMode::Always
                  : seconds == 0 ? TimeMode::Never
                                 : TimeMode::Seconds;
    fields.seconds =
        seconds > 0 ? values.at(kDisplaySeconds) : SettingKeyNamed(kDisplaySeconds).defaultText;
    return fields;
}

bool SettingsModel::Take(const std::string& key, const std::string& text, EditResult& result) {
    std::string& value = values.at(key);
    if (text == value) return true;
    if (!SettingKeyNamed(key).rule(text) || !WritableValue(text)) {
        result.rejected.push_back(key);
        return false;
    }
    value = text;
    return true;
}

void SettingsModel::TakeAxis(const AxisFields& axis, const char* fixedKey, const char* pixelKey,
                             const char* rateKey, EditResult& result) {
    if (axis.pixels != (Number(fixedKey) != 0)) {
        Take(fixedKey, Flag(axis.pixels), result);
        result.unitChanged = true;
        return;
    }
    const char* key = axis.pixels ? pixelKey : rateKey;
    const std::string text = insigno::JoinWithSign(axis.fromFar, axis.amount);
    if (text != values.at(key) && !IsDistance(axis.amount)) {
        result.rejected.push_back(key);
        return;
    }
    Take(key, text, result);
}

EditResult SettingsModel::Edit(const SettingsFields& fields) {
    EditResult result;
    Take(kLogoDirectory, fields.directory, result);
    if (fields.type != Number(kLogoType)) Take(kLogoType, std::to_string(fields.type), result);
    Take(kLogoScale, fields.scale, result);
    if (fields.fixedScale != (Number(kEnableFixedScale) != 0))
        Take(kEnableFixedScale, Flag(fields.fixedScale), result);
    TakeAxis(fields.x, kEnableFixedPositionX, kPositionX, kPositionRateX, result);
    TakeAxis(fields.y, kEnableFixedPositionY, kPositionY, kPositionRateY, result);
    const std::string seconds = fields.time == TimeMode::Always  ? "-1"
                                : fields.time == TimeMode::Never ? "0"
                                                                 : fields.seconds;
    if (ToInt(seconds) != Number(kDisplaySeconds) || fields.time == TimeMode::Seconds)
        Take(kDisplaySeconds, seconds, result);
    return result;
}

SettingChanges SettingsModel::Changes() const {
    SettingChanges changes;
    for (const SettingKey& key : SettingKeys()) {
        const std::string& value = values.at(key.name);
        if (value != initial.at(key.name)) changes.emplace_back(key.name, value);
    }
    return changes;
}
