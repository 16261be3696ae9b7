#include "SettingsModel.h"

#include <locale>
#include <sstream>

#include "FarEdge.h"
#include "SettingConversions.h"
#include "SettingDefaults.h"

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
    fields.directory = values.at("LogoDirectory");
    fields.type = Number("LogoType");
    fields.scale = values.at("LogoScale");
    fields.fixedScale = Number("EnableFixedScale") != 0;
    fields.x = Axis("EnableFixedPositionX", "PositionX", "PositionRateX");
    fields.y = Axis("EnableFixedPositionY", "PositionY", "PositionRateY");
    const int seconds = Number("DisplaySeconds");
    fields.time = seconds == -1  ? TimeMode::Always
                  : seconds == 0 ? TimeMode::Never
                                 : TimeMode::Seconds;
    fields.seconds =
        seconds > 0 ? values.at("DisplaySeconds") : FindSettingKey("DisplaySeconds")->defaultText;
    return fields;
}

bool SettingsModel::Take(const std::string& key, const std::string& text, EditResult& result) {
    std::string& value = values.at(key);
    if (text == value) return true;
    if (!FindSettingKey(key)->rule(text) || !WritableValue(text)) {
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
    Take("LogoDirectory", fields.directory, result);
    if (fields.type != Number("LogoType")) Take("LogoType", std::to_string(fields.type), result);
    Take("LogoScale", fields.scale, result);
    if (fields.fixedScale != (Number("EnableFixedScale") != 0))
        Take("EnableFixedScale", Flag(fields.fixedScale), result);
    TakeAxis(fields.x, "EnableFixedPositionX", "PositionX", "PositionRateX", result);
    TakeAxis(fields.y, "EnableFixedPositionY", "PositionY", "PositionRateY", result);
    const std::string seconds = fields.time == TimeMode::Always  ? "-1"
                                : fields.time == TimeMode::Never ? "0"
                                                                 : fields.seconds;
    if (ToInt(seconds) != Number("DisplaySeconds") || fields.time == TimeMode::Seconds)
        Take("DisplaySeconds", seconds, result);
    return result;
}

EditResult SettingsModel::EditKey(const std::string& key, const std::string& value) {
    SettingsFields fields = Fields();
    const insigno::EdgeDistance edge = insigno::SplitAtSign(value);
    const bool fromFar = edge.fromFar;
    const std::string& amount = edge.distance;
    auto position = [&](AxisFields& axis, bool pixels) {
        if (axis.pixels != pixels) {
            axis.pixels = pixels;
            Edit(fields);
            fields = Fields();
        }
        axis.fromFar = fromFar;
        axis.amount = amount;
    };
    if (key == "LogoDirectory") fields.directory = value;
    if (key == "LogoType") fields.type = ToInt(value);
    if (key == "LogoScale") fields.scale = value;
    if (key == "EnableFixedScale") fields.fixedScale = ToInt(value) != 0;
    if (key == "EnableFixedPositionX") fields.x.pixels = ToInt(value) != 0;
    if (key == "EnableFixedPositionY") fields.y.pixels = ToInt(value) != 0;
    if (key == "PositionX") position(fields.x, true);
    if (key == "PositionRateX") position(fields.x, false);
    if (key == "PositionY") position(fields.y, true);
    if (key == "PositionRateY") position(fields.y, false);
    if (key == "DisplaySeconds") {
        fields.time = value == "-1"  ? TimeMode::Always
                      : value == "0" ? TimeMode::Never
                                     : TimeMode::Seconds;
        if (fields.time == TimeMode::Seconds) fields.seconds = value;
    }
    return Edit(fields);
}

SettingChanges SettingsModel::Changes() const {
    SettingChanges changes;
    for (const SettingKey& key : SettingKeys()) {
        const std::string& value = values.at(key.name);
        if (value != initial.at(key.name)) changes.emplace_back(key.name, value);
    }
    return changes;
}
