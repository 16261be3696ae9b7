#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Settings.h"

namespace {

constexpr int32_t kIntStart = std::numeric_limits<int32_t>::min();
constexpr double kRealStart = std::numeric_limits<double>::lowest();
constexpr double kRealMax = std::numeric_limits<double>::max();

struct IntCase {
    const char* text;
    int32_t value;
};

void PrintTo(const IntCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class ToIntTable : public ::testing::TestWithParam<IntCase> {};

TEST_P(ToIntTable, ReadsLikeAStreamAndKeepsTheStartOnFailure) {
    EXPECT_EQ(ToInt(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToIntTable,
    ::testing::Values(IntCase{"", kIntStart}, IntCase{"abc", kIntStart}, IntCase{"-", kIntStart},
                      IntCase{"12", 12}, IntCase{"12abc", 12}, IntCase{" \t7", 7}, IntCase{"+7", 7},
                      IntCase{"-7", -7}, IntCase{"010", 10}, IntCase{"1e3", 1}, IntCase{"50%", 50},
                      IntCase{"0x", 0}, IntCase{"0x1G", 0}, IntCase{"0x-1", 0}, IntCase{"0x1A", 26},
                      IntCase{"0X1a", 26}, IntCase{"0x0000000000000003", 3},
                      IntCase{"2147483647", 2147483647}, IntCase{"2147483648", kIntStart},
                      IntCase{"-2147483647", -2147483647}, IntCase{"-2147483649", kIntStart},
                      IntCase{"99999999999999999999", kIntStart}, IntCase{"0x7FFFFFFF", 2147483647},
                      IntCase{"0x80000000", kIntStart}, IntCase{"0xFFFFFFFF", kIntStart},
                      IntCase{"0xFFFFFFFFFFFFFFFFFF", kIntStart}));

struct RealCase {
    const char* text;
    double value;
};

void PrintTo(const RealCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class ToRealTable : public ::testing::TestWithParam<RealCase> {};

TEST_P(ToRealTable, ReadsLikeAStreamAndKeepsTheStartOnFailure) {
    const double value = ToReal(GetParam().text);
    EXPECT_EQ(value, GetParam().value) << '"' << GetParam().text << '"';
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().value)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, ToRealTable,
                         ::testing::Values(RealCase{"", kRealStart}, RealCase{"abc", kRealStart},
                                           RealCase{"-", kRealStart}, RealCase{"0", 0.0},
                                           RealCase{"-0", -0.0}, RealCase{"1.5abc", 1.5},
                                           RealCase{" -0.25", -0.25}, RealCase{".5", 0.5},
                                           RealCase{"1e3", 1000.0}, RealCase{"+2", 2.0},
                                           // Out of range: the limit of its sign.
                                           RealCase{"1e999", kRealMax},
                                           RealCase{"-1e999", kRealStart}));

struct FormatCase {
    double value;
    const char* text;
};

void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << c.text;
}

class FormatRealTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatRealTable, WritesSixSignificantDigits) {
    EXPECT_EQ(FormatReal(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatRealTable,
    ::testing::Values(FormatCase{0.0, "0"}, FormatCase{-0.0, "-0"}, FormatCase{0.5, "0.5"},
                      FormatCase{-1.0, "-1"}, FormatCase{0.1234567, "0.123457"},
                      FormatCase{123.4567, "123.457"}, FormatCase{100000.0, "100000"},
                      FormatCase{1250000.0, "1.25e+06"}, FormatCase{0.0001, "0.0001"},
                      FormatCase{0.00001, "1e-05"}, FormatCase{kRealStart, "-1.79769e+308"}));

// Positions travel text -> number -> text -> number, so they carry 6 significant digits and
// keep the sign of minus zero.
TEST(Conversions, PositionsRoundToSixDigitsAndKeepMinusZero) {
    EXPECT_EQ(ToReal(FormatReal(ToReal("0.12345678"))), 0.123457);
    EXPECT_EQ(ToReal(FormatReal(ToReal("123.4567"))), 123.457);
    EXPECT_EQ(FormatReal(ToReal("-0")), "-0");
    EXPECT_EQ(ToReal(FormatReal(ToReal("abc"))), -1.79769e308);
}

}  // namespace
