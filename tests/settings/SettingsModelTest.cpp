#include <gtest/gtest.h>

#include "SettingNames.h"
#include "Settings.h"
#include "SettingsModel.h"

namespace {

SettingValues Defaults(SettingsTable table = {}) {
    ApplyDefaults(table);
    return table[kSettingsSection];
}

struct EditCase {
    const char* key;
    const char* typed;
    const char* checked;  // the key whose value is compared
    const char* value;    // its value afterwards
    bool rejected;
};

void PrintTo(const EditCase& c, std::ostream* out) {
    *out << c.key << "=" << c.typed;
}

class SettingsModelEdit : public ::testing::TestWithParam<EditCase> {};

// Puts `typed` into the field of `key` as the dialog's user does: a position in the other unit
// first takes the unit (the dialog then shows that unit's fields), then the text.
bool TypeInto(SettingsModel& model, const std::string& key, const std::string& typed) {
    using namespace SettingName;
    bool rejected = false;
    for (int step = 0; step < 2; ++step) {
        SettingsFields fields = model.Fields();
        const bool fromFar = !typed.empty() && typed[0] == '-';
        AxisFields& axis = key == kPositionX || key == kPositionRateX ? fields.x : fields.y;
        if (key == kLogoDirectory) fields.directory = typed;
        if (key == kLogoType) fields.type = ToInt(typed);
        if (key == kLogoScale) fields.scale = typed;
        if (key == kEnableFixedScale) fields.fixedScale = typed == "1";
        if (key == kPositionX || key == kPositionY || key == kPositionRateX ||
            key == kPositionRateY)
            axis = {key == kPositionX || key == kPositionY, fromFar, typed.substr(fromFar ? 1 : 0)};
        if (key == kDisplaySeconds) {
            fields.time = typed == "-1"  ? TimeMode::Always
                          : typed == "0" ? TimeMode::Never
                                         : TimeMode::Seconds;
            fields.seconds = typed;
        }
        const EditResult result = model.Edit(fields);
        rejected = rejected || !result.rejected.empty();
        if (!result.unitChanged) break;
    }
    return rejected;
}

TEST_P(SettingsModelEdit, TakesWhatTheRulesAccept) {
    const EditCase& c = GetParam();
    SettingsModel model(Defaults());
    const bool rejected = TypeInto(model, c.key, c.typed);
    EXPECT_EQ(model.Values().at(c.checked), c.value);
    EXPECT_EQ(rejected, c.rejected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SettingsModelEdit,
    ::testing::Values(EditCase{"PositionX", "-20", "PositionX", "-20", false},
                      EditCase{"PositionX", "-20", "EnableFixedPositionX", "1", false},
                      EditCase{"PositionY", "0", "PositionY", "0", false},
                      EditCase{"PositionRateY", "-0", "PositionRateY", "-0", false},
                      EditCase{"PositionRateX", "-1.5", "PositionRateX", "0", true},
                      EditCase{"PositionX", "abc", "PositionX", "0", true},
                      EditCase{"PositionX", "+3", "PositionX", "0", true},
                      EditCase{"LogoScale", "0", "LogoScale", "100", true},
                      EditCase{"LogoScale", "150", "LogoScale", "150", false},
                      EditCase{"LogoType", "3", "LogoType", "3", false},
                      EditCase{"EnableFixedScale", "1", "EnableFixedScale", "1", false},
                      EditCase{"DisplaySeconds", "-1", "DisplaySeconds", "-1", false},
                      EditCase{"DisplaySeconds", "0", "DisplaySeconds", "0", false},
                      EditCase{"DisplaySeconds", "-2", "DisplaySeconds", "5", true},
                      EditCase{"LogoDirectory", "D:\\Logo", "LogoDirectory", "D:\\Logo", false},
                      EditCase{"LogoDirectory", "a;b", "LogoDirectory", "./Logo", true}));

TEST(SettingsModel, ChangesOnlyWhatTheUserChanged) {
    SettingsTable table;
    table[kSettingsSection]["LogoScale"] = "50%";
    table[kSettingsSection]["PositionRateX"] = "-0.25";
    SettingsModel model(Defaults(table));
    SettingsFields fields = model.Fields();
    fields.x.pixels = true;
    EXPECT_TRUE(model.Edit(fields).unitChanged);
    fields = model.Fields();
    fields.x.amount = "12";
    model.Edit(fields);
    EXPECT_EQ(model.Changes(),
              (SettingChanges{{"EnableFixedPositionX", "1"}, {"PositionX", "12"}}));
}

}  // namespace
