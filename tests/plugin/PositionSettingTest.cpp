#include <gtest/gtest.h>

#include "PositionSetting.h"

namespace {

struct OffsetCase {
    const char* name;
    const char* setting;
    double value;
    bool negative;
};

class PositionSettingTest : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(PositionSettingTest, RoundsAndTakesTheSign) {
    const OffsetCase& c = GetParam();
    const PositionSetting offset = ReadPositionSetting(c.setting);
    EXPECT_EQ(offset.value, c.value);
    EXPECT_EQ(offset.fromFarEdge, c.negative);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, PositionSettingTest,
    ::testing::Values(OffsetCase{"Zero", "0", 0.0, false},
                      OffsetCase{"MinusZeroCountsFromTheFarEdge", "-0", 0.0, true},
                      OffsetCase{"MinusZeroWithDecimals", "-0.000", 0.0, true},
                      OffsetCase{"RateToSixDigits", "0.12345678", 0.123457, false},
                      OffsetCase{"PixelsToSixDigits", "123.4567", 123.457, false},
                      OffsetCase{"Negative", "-10", -10.0, true},
                      OffsetCase{"TinyNegativeStaysNegative", "-1e-9", -1e-9, true},
                      OffsetCase{"NotANumber", "abc", -1.79769e308, true}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
