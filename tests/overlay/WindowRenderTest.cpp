#include <gtest/gtest.h>
#include <insigno/platform_test.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "IndexedPng.h"
#include "OverlayHarness.h"
#include "PaletteChunk.h"

namespace {

using namespace overlay_test;

// A 48 x 24 broadcast logo (type 0) in three columns of 16: red (1), 00 AA 55 (21), and blue
// (4) over white (7).
LogoRecord ColumnLogo() {
    std::vector<uint8_t> indices(48 * 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 48; ++x)
            indices[y * 48 + x] = x < 16 ? 1 : x < 32 ? 21 : y < 12 ? 4 : 7;
    LogoRecord logo;
    logo.logoType = 0;
    logo.ApplySizeByType();
    logo.data = IndexedPngWithoutPalette(48, 24, indices);
    return logo;
}

uint32_t PaletteRgb(int index) {
    const uint8_t* entry = PALETTE_CHUNK.data() + 8 + index * 3;
    return (uint32_t{entry[0]} << 16) | (uint32_t{entry[1]} << 8) | entry[2];
}

class OverlayRendering : public ::testing::Test {
protected:
    void SetUp() override {
        InsignoPlatform_Reset();
        parent = std::make_unique<ParentWindow>(1280, 720);
    }

    void TearDown() override {
        overlay.reset();
        parent.reset();
    }

    int ConstructionFailureCode(const OverlaySettings& settings) {
        try {
            MakeOverlay(parent->handle(), host, settings);
        } catch (const WindowException& e) {
            return e.code;
        }
        return 0;
    }

    void ExpectNothingLeftBehind() {
        EXPECT_FALSE(InsignoPlatform_IsClassRegistered(L"LogoMarkClass"));
        EXPECT_EQ(parent->ChildCount(), 0);
        EXPECT_EQ(InsignoPlatform_LiveD3DObjects(), 0u);
    }

    // Hands the logo over as the stream side does and waits for its picture.
    void ShowLogo(const LogoRecord& logo) {
        overlay->SetLogo(logo);
        PostMessageW(overlay->hwnd, MSG_SHOW_LOGO, 1, 0);
        ASSERT_TRUE(PumpUntil([&] { return InsignoPlatform_PresentCount(overlay->hwnd) >= 1; }));
    }

    void PumpPolls(int count) {
        const int polls = host.zoomPolls;
        ASSERT_TRUE(PumpUntil([&] { return host.zoomPolls >= polls + count; }));
    }

    uint32_t PresentedRgb(int x, int y) {
        const auto image = InsignoPlatform_PresentedImage(overlay->hwnd);
        return image ? image->At(x, y) & 0xFFFFFF : 0xDEADBEEF;
    }

    std::unique_ptr<ParentWindow> parent;
    FakeHost host;
    std::unique_ptr<WindowAsChild> overlay;
};

using Attempt = std::pair<D3DDEVTYPE, DWORD>;
constexpr Attempt kHalHardware{D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING};
constexpr Attempt kHalSoftware{D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING};
constexpr Attempt kReference{D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING};

struct FallbackCase {
    const char* name;
    std::vector<Attempt> failing;
    Attempt created;
};

class DeviceFallback : public OverlayRendering,
                       public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(DeviceFallback, TakesTheFirstAttemptThatSucceeds) {
    for (const Attempt& attempt : GetParam().failing)
        InsignoPlatform_FailDeviceCreation(attempt.first, attempt.second);
    overlay = MakeOverlay(parent->handle(), host, {});
    const auto device = InsignoPlatform_Device(overlay->hwnd);
    ASSERT_TRUE(device.has_value());
    EXPECT_EQ(device->type, GetParam().created.first);
    EXPECT_EQ(device->behaviorFlags & 0x60, GetParam().created.second);
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, DeviceFallback,
    ::testing::Values(FallbackCase{"HalHardware", {}, kHalHardware},
                      FallbackCase{"HalSoftware", {kHalHardware}, kHalSoftware},
                      FallbackCase{"Reference", {kHalHardware, kHalSoftware}, kReference},
                      FallbackCase{"HardwareDespiteSoftwareFailing", {kHalSoftware}, kHalHardware}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(OverlayRendering, NoDeviceAtAllFailsWithCode4AndLeavesNothing) {
    InsignoPlatform_FailDeviceCreation(D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING);
    InsignoPlatform_FailDeviceCreation(D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    InsignoPlatform_FailDeviceCreation(D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    EXPECT_EQ(ConstructionFailureCode({}), 4);
    ExpectNothingLeftBehind();
}

TEST_F(OverlayRendering, NoDirect3DFailsWithCode3AndLeavesNothing) {
    InsignoPlatform_FailDirect3DCreate9(true);
    EXPECT_EQ(ConstructionFailureCode({}), 3);
    ExpectNothingLeftBehind();
}

TEST_F(OverlayRendering, TeardownReleasesEveryDirect3DObject) {
    overlay = MakeOverlay(parent->handle(), host, {});
    ShowLogo(ColumnLogo());
    overlay.reset();
    ExpectNothingLeftBehind();
}

struct DrawCase {
    const char* name;
    OverlaySettings settings;
    int parentWidth;
    int parentHeight;
    int aspectX;
    int aspectY;
    RECT expected;  // the window in its parent
};

OverlaySettings Drawn(int scale, bool fixedX, double x, bool minusZeroX, bool fixedY, double y,
                      bool minusZeroY) {
    OverlaySettings s;
    s.logoScale = scale;
    s.fixedPositionX = fixedX;
    s.positionX = x;
    s.minusZeroX = minusZeroX;
    s.fixedPositionY = fixedY;
    s.positionY = y;
    s.minusZeroY = minusZeroY;
    return s;
}

class LogoDrawing : public OverlayRendering, public ::testing::WithParamInterface<DrawCase> {
protected:
    void SetUp() override {
        InsignoPlatform_Reset();
        parent = std::make_unique<ParentWindow>(GetParam().parentWidth, GetParam().parentHeight);
        host.aspectX = GetParam().aspectX;
        host.aspectY = GetParam().aspectY;
    }
};

TEST_P(LogoDrawing, ShowsThePaletteColoursScaledAtTheirPlace) {
    const DrawCase& c = GetParam();
    overlay = MakeOverlay(parent->handle(), host, c.settings);
    ShowLogo(ColumnLogo());

    const RECT rect = RectInParent(overlay->hwnd, parent->handle());
    EXPECT_EQ(rect.left, c.expected.left);
    EXPECT_EQ(rect.top, c.expected.top);
    EXPECT_EQ(rect.right, c.expected.right);
    EXPECT_EQ(rect.bottom, c.expected.bottom);

    const auto image = InsignoPlatform_PresentedImage(overlay->hwnd);
    ASSERT_TRUE(image.has_value());
    const double scale = c.settings.logoScale / 100.0;
    ASSERT_EQ(image->width, c.expected.right - c.expected.left);
    ASSERT_EQ(image->height, c.expected.bottom - c.expected.top);
    auto at = [&](double x, double y) {
        return PresentedRgb(static_cast<int>(x * scale), static_cast<int>(y * scale));
    };
    EXPECT_EQ(at(8, 6), PaletteRgb(1));
    EXPECT_EQ(at(8, 18), PaletteRgb(1));
    EXPECT_EQ(at(24, 12), PaletteRgb(21));
    EXPECT_EQ(at(40, 6), PaletteRgb(4));
    EXPECT_EQ(at(40, 18), PaletteRgb(7));
    EXPECT_EQ(at(47.5, 23.5), PaletteRgb(7));
    // One resize from the initial 160 x 120, then passes that find the size right.
    EXPECT_EQ(InsignoPlatform_Device(overlay->hwnd)->resets, 1u);
}

INSTANTIATE_TEST_SUITE_P(Placements, LogoDrawing,
                         ::testing::Values(DrawCase{"Fixed10And20",
                                                    Drawn(100, true, 10, false, true, 20, false),
                                                    1280,
                                                    720,
                                                    16,
                                                    9,
                                                    {10, 20, 58, 44}},
                                           DrawCase{"Scale150RightEdgeHalfDown",
                                                    Drawn(150, true, 0, true, false, 0.5, false),
                                                    1280,
                                                    720,
                                                    16,
                                                    9,
                                                    {1208, 360, 1280, 396}},
                                           DrawCase{"Scale200RateFromBottom",
                                                    Drawn(200, true, 0, false, false, -0.1, false),
                                                    1280,
                                                    720,
                                                    16,
                                                    9,
                                                    {0, 600, 96, 648}},
                                           DrawCase{"PillarBoxRightEdge",
                                                    Drawn(100, true, 0, true, true, 0, false),
                                                    1920,
                                                    1080,
                                                    4,
                                                    3,
                                                    {1632, 0, 1680, 24}},
                                           DrawCase{"LetterBoxBottomEdge",
                                                    Drawn(100, true, 0, false, true, 0, true),
                                                    1280,
                                                    1024,
                                                    16,
                                                    9,
                                                    {0, 848, 48, 872}}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(OverlayRendering, DataTooShortForAPaletteDrawsPlainGrey) {
    overlay = MakeOverlay(parent->handle(), host, {});
    LogoRecord logo = ColumnLogo();
    logo.data.resize(32);
    ShowLogo(logo);
    const auto image = InsignoPlatform_PresentedImage(overlay->hwnd);
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->width, 48);
    ASSERT_EQ(image->height, 24);
    for (int y = 0; y < 24; y += 5)
        for (int x = 0; x < 48; x += 5) EXPECT_EQ(PresentedRgb(x, y), 0x808080u);
}

TEST_F(OverlayRendering, ASizedLogoAfterOneWithoutSizeIsDrawn) {
    overlay = MakeOverlay(parent->handle(), host, {});
    LogoRecord sizeless = ColumnLogo();
    sizeless.logoType = 6;
    sizeless.ApplySizeByType();
    ShowLogo(sizeless);

    overlay->SetLogo(ColumnLogo());
    ASSERT_TRUE(PumpUntil([&] {
        const auto image = InsignoPlatform_PresentedImage(overlay->hwnd);
        return image && image->width == 48 && image->height == 24;
    }));
    EXPECT_EQ(PresentedRgb(8, 6), PaletteRgb(1));
    EXPECT_EQ(PresentedRgb(40, 18), PaletteRgb(7));
}

TEST_F(OverlayRendering, ALostDeviceIsResetInPlaceAndKeepsTheLogo) {
    overlay = MakeOverlay(parent->handle(), host, {});
    ShowLogo(ColumnLogo());
    const unsigned resets = InsignoPlatform_Device(overlay->hwnd)->resets;

    ASSERT_TRUE(InsignoPlatform_LoseDevice(overlay->hwnd));
    const unsigned presents = InsignoPlatform_PresentCount(overlay->hwnd);
    PumpPolls(5);  // polls while the system keeps the device lost
    EXPECT_EQ(InsignoPlatform_Device(overlay->hwnd)->resets, resets);

    ASSERT_TRUE(InsignoPlatform_AllowDeviceReset(overlay->hwnd));
    ASSERT_TRUE(PumpUntil([&] { return InsignoPlatform_PresentCount(overlay->hwnd) > presents; }));
    EXPECT_EQ(InsignoPlatform_Device(overlay->hwnd)->resets, resets + 1);
    EXPECT_EQ(InsignoPlatform_Device(overlay->hwnd)->type, D3DDEVTYPE_HAL);
    EXPECT_EQ(PresentedRgb(8, 6), PaletteRgb(1));
    EXPECT_EQ(PresentedRgb(40, 18), PaletteRgb(7));
}

// A shown logo is drawn again a few times in the second after a draw, in case the system lost
// that picture, then left alone; a change of the viewer's picture moves it; a hidden logo is not
// drawn. All on the window's thread.
TEST_F(OverlayRendering, AStaticLogoIsDrawnAFewTimesThenLeftAlone) {
    overlay = MakeOverlay(parent->handle(), host, {});
    ShowLogo(ColumnLogo());
    unsigned presents = InsignoPlatform_PresentCount(overlay->hwnd);
    PumpPolls(40);
    EXPECT_GE(InsignoPlatform_PresentCount(overlay->hwnd), presents + 5);
    presents = InsignoPlatform_PresentCount(overlay->hwnd);
    PumpPolls(10);
    EXPECT_EQ(InsignoPlatform_PresentCount(overlay->hwnd), presents);

    host.aspectX = 4;
    host.aspectY = 3;
    ASSERT_TRUE(PumpUntil(
        [&] { return RectInParent(overlay->hwnd, parent->handle()).left == 160; }));  // 4:3

    PostMessageW(overlay->hwnd, MSG_SHOW_LOGO, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(overlay->hwnd); }));
    presents = InsignoPlatform_PresentCount(overlay->hwnd);
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(InsignoPlatform_PresentCount(overlay->hwnd), presents);
    EXPECT_EQ(InsignoPlatform_OffThreadDeviceCalls(), 0u);
}

}  // namespace
