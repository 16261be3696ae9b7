#include <gtest/gtest.h>

#include "DisplayTimer.h"

namespace {

struct PeriodCase {
    int seconds;
    uint32_t milliseconds;
};

class DisplayTimerPeriod : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(DisplayTimerPeriod, IsTheSecondsInMillisecondsWithinTheTimerRange) {
    EXPECT_EQ(insigno::DisplayTimerPeriod(GetParam().seconds), GetParam().milliseconds);
}

INSTANTIATE_TEST_SUITE_P(Seconds, DisplayTimerPeriod,
                         ::testing::Values(PeriodCase{5, 5000}, PeriodCase{1, 1000},
                                           PeriodCase{2147483, 2147483000u},
                                           PeriodCase{2147484, 0x7FFFFFFFu},
                                           PeriodCase{2147483647, 0x7FFFFFFFu}, PeriodCase{0, 0},
                                           PeriodCase{-1, 0}));

}  // namespace
