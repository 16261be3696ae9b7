#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Placement.h"

namespace {

using insigno::AxisOffset;
using insigno::Picture;

constexpr double kMaxDouble = std::numeric_limits<double>::max();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

struct TruncCase {
    double value;
    int expected;
};

class TruncToInt : public ::testing::TestWithParam<TruncCase> {};

TEST_P(TruncToInt, TruncatesTowardZeroAndSaturates) {
    EXPECT_EQ(insigno::TruncToInt(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, TruncToInt,
                         ::testing::Values(TruncCase{40.5, 40}, TruncCase{-40.5, -40},
                                           TruncCase{-0.9, 0}, TruncCase{2147483647.9, kIntMax},
                                           TruncCase{-2147483648.9, kIntMin},
                                           TruncCase{1e300, kIntMax},
                                           TruncCase{-kMaxDouble, kIntMin},
                                           TruncCase{-INFINITY, kIntMin},
                                           TruncCase{INFINITY, kIntMax}, TruncCase{kNaN, 0}));

struct SizeCase {
    bool fixedScale;
    int logoScale;
    int zoom;
    int textureWidth;
    int textureHeight;
    int width;
    int height;
};

class ScaledWindow : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ScaledWindow, IsTheTruncatedScaledTexture) {
    const SizeCase& c = GetParam();
    const double scale = insigno::LogoScaleFactor(c.fixedScale, c.logoScale, c.zoom);
    const insigno::WindowSize size = insigno::ScaledSize(scale, c.textureWidth, c.textureHeight);
    EXPECT_EQ(size.width, c.width);
    EXPECT_EQ(size.height, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ScaledWindow,
    ::testing::Values(SizeCase{true, 100, 100, 64, 36, 64, 36},  // the zoom does not count
                      SizeCase{true, 150, 0, 48, 27, 72, 40},    // 40.5 truncated
                      SizeCase{false, 50, 200, 48, 24, 48, 24},  // zoom 200 x 50 % = 1.0
                      SizeCase{false, 100, 0, 64, 36, 0, 0},     // no zoom known yet
                      SizeCase{true, 100, 100, 0, 0, 0, 0},      // logo type without a size
                      SizeCase{false, 2000000, 2000000, 72, 36, kIntMax, kIntMax},
                      SizeCase{true, -100, 0, 48, 24, -48, -24}));

struct FitCase {
    int clientWidth;
    int clientHeight;
    int aspectX;
    int aspectY;
    Picture expected;
};

class FitPicture : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitPicture, LetterOrPillarBoxesTheVideo) {
    const FitCase& c = GetParam();
    const Picture p = insigno::FitPicture(c.clientWidth, c.clientHeight, c.aspectX, c.aspectY);
    EXPECT_DOUBLE_EQ(p.x0, c.expected.x0);
    EXPECT_DOUBLE_EQ(p.y0, c.expected.y0);
    EXPECT_DOUBLE_EQ(p.width, c.expected.width);
    EXPECT_DOUBLE_EQ(p.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, FitPicture,
    ::testing::Values(FitCase{1280, 720, 16, 9, {0, 0, 1280, 720}},
                      FitCase{1280, 1024, 16, 9, {0, 152, 1280, 720}},
                      FitCase{1920, 1080, 4, 3, {240, 0, 1440, 1080}},
                      // 721.125 truncates to 721: still letter-box, a fraction too tall
                      FitCase{1282, 721, 16, 9, {0, -0.0625, 1282, 721.125}},
                      FitCase{0, 0, 16, 9, {0, 0, 0, 0}}));

struct PlaceCase {
    const char* name;
    double start;
    double extent;
    int windowExtent;
    AxisOffset offset;
    int expected;
};

class PlaceOnAxis : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceOnAxis, OffsetsFromTheChosenEdgeAndBoundsTheOtherSide) {
    const PlaceCase& c = GetParam();
    EXPECT_EQ(insigno::PlaceOnAxis(c.start, c.extent, c.windowExtent, c.offset), c.expected)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, PlaceOnAxis,
    ::testing::Values(
        PlaceCase{"fixed 10 from the left", 0, 1280, 64, {true, 10, false}, 10},
        PlaceCase{"fixed 1300 from the left stops at the right edge",
                  0,
                  1280,
                  64,
                  {true, 1300, false},
                  1216},
        PlaceCase{"fixed -20 from the left may leave the picture",
                  240,
                  1440,
                  64,
                  {true, -20, false},
                  220},
        PlaceCase{"minus zero from the right", 240, 1440, 64, {true, -0.0, true}, 1616},
        PlaceCase{"fixed -2000 from the right stops at the left edge",
                  240,
                  1440,
                  64,
                  {true, -2000, true},
                  240},
        PlaceCase{"fixed +30 from the right may leave the picture",
                  240,
                  1440,
                  64,
                  {true, 30, true},
                  1646},
        PlaceCase{"rate 0.05 of 1280", 0, 1280, 64, {false, 0.05, false}, 64},
        PlaceCase{
            "rate -0.1 from the bottom of a letter-box", 152, 720, 36, {false, -0.1, true}, 764},
        PlaceCase{"rate 1 from the top stops at the bottom", 152, 720, 36, {false, 1, false}, 836},
        // An unreadable PositionX arrives as the most negative double.
        PlaceCase{"fixed most negative double from the right",
                  240,
                  1440,
                  64,
                  {true, -kMaxDouble, true},
                  240},
        PlaceCase{"rate most negative double from the right",
                  240,
                  1440,
                  64,
                  {false, -kMaxDouble, true},
                  240},
        PlaceCase{
            "fixed largest double from the left", 0, 1280, 64, {true, kMaxDouble, false}, 1216},
        PlaceCase{"fixed NaN from the left", 0, 1280, 64, {true, kNaN, false}, 0}));

TEST(PlaceLogo, PlacesEachAxisInItsOwnPictureExtent) {
    const Picture pillarBox = insigno::FitPicture(1920, 1080, 4, 3);
    const insigno::WindowPosition p =
        insigno::PlaceLogo(pillarBox, {64, 36}, {false, 0.5, false}, {true, -0.0, true});
    EXPECT_EQ(p.x, 240 + 720);
    EXPECT_EQ(p.y, 1080 - 36);
}

struct EdgeCase {
    double position;
    bool minusZero;
    bool fromFar;
};

class FarEdge : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(FarEdge, FollowsTheSignAndTheMinusZeroFlag) {
    EXPECT_EQ(insigno::MeasuresFromFarEdge(GetParam().position, GetParam().minusZero),
              GetParam().fromFar);
}

INSTANTIATE_TEST_SUITE_P(Signs, FarEdge,
                         ::testing::Values(EdgeCase{0, true, true}, EdgeCase{0, false, false},
                                           EdgeCase{-0.5, false, true}, EdgeCase{-3, true, true},
                                           EdgeCase{12, false, false},
                                           EdgeCase{-kMaxDouble, false, true}));

}  // namespace
