#include <gtest/gtest.h>

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

TEST_P(SettingsModelEdit, TakesWhatTheRulesAccept) {
    const EditCase& c = GetParam();
    SettingsModel model(Defaults());
    const EditResult result = model.EditKey(c.key, c.typed);
    EXPECT_EQ(model.Values().at(c.checked), c.value);
    EXPECT_EQ(!result.rejected.empty(), c.rejected);
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
