#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "FailingAllocation.h"
#include "OverlayHarness.h"

namespace {

using namespace overlay_test;
using namespace std::chrono_literals;

class OverlayWindow : public ::testing::Test {
protected:
    std::unique_ptr<WindowAsChild> Make(const OverlaySettings& settings) {
        return MakeOverlay(parent.handle(), host, settings);
    }

    static OverlaySettings ShownFor(int seconds) {
        OverlaySettings settings;
        settings.displaySeconds = seconds;
        return settings;
    }

    void ShowAndWait(WindowAsChild& overlay) {
        PostMessageW(overlay.hwnd, MSG_SHOW_LOGO, 1, 0);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(overlay.hwnd) != FALSE; }));
    }

    ParentWindow parent{1280, 720};
    FakeHost host;
};

TEST_F(OverlayWindow, StartsHiddenAsAChildOfTheVideoWindow) {
    auto overlay = Make(ShownFor(5));
    ASSERT_NE(overlay->hwnd, nullptr);
    EXPECT_EQ(GetParent(overlay->hwnd), parent.handle());
    EXPECT_FALSE(IsWindowVisible(overlay->hwnd));
    EXPECT_EQ(parent.ChildCount(), 1);
}

TEST_F(OverlayWindow, UnlimitedLogoStaysThroughPollsUntilAHideRequest) {
    auto overlay = Make(ShownFor(-1));
    ShowAndWait(*overlay);
    const int polls = host.zoomPolls;
    ASSERT_TRUE(PumpUntil([&] { return host.zoomPolls > polls + 50; }));
    EXPECT_TRUE(IsWindowVisible(overlay->hwnd));

    PostMessageW(overlay->hwnd, MSG_SHOW_LOGO, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(overlay->hwnd); }));
}

TEST_F(OverlayWindow, DisplaySecondsZeroIgnoresShowRequests) {
    auto overlay = Make(ShownFor(0));
    // From the owning thread SendMessageW is handled before it returns.
    EXPECT_EQ(SendMessageW(overlay->hwnd, MSG_SHOW_LOGO, 1, 0), 0);
    EXPECT_FALSE(IsWindowVisible(overlay->hwnd));
}

// The display timer's id is 0; any timer but the view poll's hides the logo.
TEST_F(OverlayWindow, AnyTimerMessageButThePollsHidesTheLogo) {
    auto overlay = Make(ShownFor(-1));
    SendMessageW(overlay->hwnd, MSG_SHOW_LOGO, 1, 0);
    ASSERT_TRUE(IsWindowVisible(overlay->hwnd));
    EXPECT_EQ(SendMessageW(overlay->hwnd, WM_TIMER, POLL_TIMER, 0), 0);
    EXPECT_TRUE(IsWindowVisible(overlay->hwnd));
    EXPECT_EQ(SendMessageW(overlay->hwnd, WM_TIMER, 77, 0), 0);
    EXPECT_FALSE(IsWindowVisible(overlay->hwnd));
}

TEST_F(OverlayWindow, DisplayTimerHidesTheLogo) {
    auto overlay = Make(ShownFor(1));
    ShowAndWait(*overlay);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(overlay->hwnd); }));
}

// The first request arms 2 s; a second one a second later re-arms the same timer. Hidden by the
// first timer, the logo would go at most 1 s after the second request; re-armed, not before 2 s.
// Delays on a loaded machine only make the measured interval longer.
TEST_F(OverlayWindow, ALaterShowRequestExtendsTheDisplayTime) {
    auto overlay = Make(ShownFor(2));
    ShowAndWait(*overlay);
    PumpFor(1s);
    const auto secondRequest = std::chrono::steady_clock::now();
    PostMessageW(overlay->hwnd, MSG_SHOW_LOGO, 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(overlay->hwnd) != FALSE; }));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(overlay->hwnd); }));
    EXPECT_GE(std::chrono::steady_clock::now() - secondRequest, 1500ms);
}

TEST_F(OverlayWindow, HitTestLetsMouseInputThrough) {
    auto overlay = Make(ShownFor(5));
    EXPECT_EQ(SendMessageW(overlay->hwnd, WM_NCHITTEST, 0, static_cast<LPARAM>((5 << 16) | 5)),
              HTTRANSPARENT);
}

// The viewer may be called only on its own thread, which owns the window and its poll timer.
TEST_F(OverlayWindow, PollsAskTheViewerOnItsOwnThreadOnly) {
    OverlaySettings settings = ShownFor(-1);
    settings.fixedScale = false;
    auto overlay = Make(settings);
    ShowAndWait(*overlay);
    ASSERT_TRUE(PumpUntil([&] { return host.zoomPolls > 20 && host.aspectPolls > 20; }));
    EXPECT_EQ(host.offThreadPolls, 0);
}

// No memory for the logo's copy: nothing is thrown out of the window procedure, nothing is shown,
// and the next logo is.
TEST_F(OverlayWindow, ALogoThatCannotBeCopiedIsNotShownAndTheNextOneIs) {
    auto overlay = Make(ShownFor(-1));
    LogoRecord logo;
    logo.logoType = 5;
    logo.ApplySizeByType();
    logo.data.assign(64, 0);
    overlay->SetLogo(logo);
    {
        // Straight into the procedure: the system's own allocations are not the point here.
        FailingAllocation failure(0);
        EXPECT_EQ(Window::WindowProcedure(overlay->hwnd, MSG_LOGO_CHANGED, 0, 0), 0);
        EXPECT_TRUE(failure.Reached());
    }
    const RECT failed = RectInParent(overlay->hwnd, parent.handle());
    EXPECT_EQ(failed.right - failed.left, 0);
    SendMessageW(overlay->hwnd, MSG_LOGO_CHANGED, 0, 0);
    const RECT shown = RectInParent(overlay->hwnd, parent.handle());
    EXPECT_EQ(shown.right - shown.left, 64);
}

TEST_F(OverlayWindow, TeardownWhileVisibleStopsDrawingAndPostsNoQuit) {
    auto overlay = Make(ShownFor(-1));
    ShowAndWait(*overlay);
    ASSERT_TRUE(PumpUntil([&] { return host.zoomPolls > 20; }));
    const HWND window = overlay->hwnd;
    const int quitsBefore = QuitMessagesSeen();

    overlay.reset();
    const int pollsAfter = host.zoomPolls;
    PumpFor(50ms);

    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(parent.ChildCount(), 0);
    EXPECT_EQ(host.zoomPolls, pollsAfter);
    EXPECT_EQ(QuitMessagesSeen(), quitsBefore);
    EXPECT_TRUE(IsWindow(parent.handle()));
}

// Every poll resizes: teardown in the middle of it leaves nothing behind.
TEST_F(OverlayWindow, TeardownWhileResizingAtEveryPollLeavesNothing) {
    OverlaySettings settings = ShownFor(-1);
    settings.fixedScale = false;
    auto overlay = Make(settings);
    ShowAndWait(*overlay);
    host.zoomKeepsChanging = true;
    const int polls = host.zoomPolls;
    ASSERT_TRUE(PumpUntil([&] { return host.zoomPolls > polls + 3; }));

    Watchdog watchdog("teardown while resizing");
    overlay.reset();
    EXPECT_EQ(parent.ChildCount(), 0);
}

// A stream thread hands over logos while every poll here resizes: the hand-over there and the
// texture rebuilds here must neither deadlock nor race.
TEST_F(OverlayWindow, LogoChangesDuringResizingPassesNeitherDeadlockNorRace) {
    OverlaySettings settings = ShownFor(-1);
    settings.fixedScale = false;
    auto overlay = Make(settings);
    ShowAndWait(*overlay);
    host.zoomKeepsChanging = true;

    std::atomic<bool> handedOver{false};
    std::thread stream([&] {
        LogoRecord logo;
        for (int i = 0; i < 40; ++i) {
            logo.logoType = static_cast<uint8_t>(i % 2 == 0 ? 0 : 3);
            logo.ApplySizeByType();
            logo.data.assign(40 + i, static_cast<uint8_t>(i));  // not a PNG: no texture
            overlay->SetLogo(logo);
            std::this_thread::sleep_for(1ms);
        }
        handedOver = true;
    });
    Watchdog watchdog("logo changes during resizing passes");
    ASSERT_TRUE(PumpUntil([&] { return handedOver.load(); }));
    stream.join();
    const int polls = host.zoomPolls;
    EXPECT_TRUE(PumpUntil([&] { return host.zoomPolls > polls + 10; }));
    overlay.reset();
}

// A logo type without a size shrinks the window to nothing, where Direct3D 9 has no back buffer
// to reset to; the next sized logo must still get a working window and device.
TEST_F(OverlayWindow, AWindowWithoutAreaKeepsDrawingForTheNextLogo) {
    auto overlay = Make(ShownFor(-1));
    LogoRecord logo;
    logo.logoType = 9;
    logo.ApplySizeByType();
    logo.data.assign(100, 0);
    overlay->SetLogo(logo);
    ShowAndWait(*overlay);
    int polls = host.zoomPolls;
    ASSERT_TRUE(PumpUntil([&] { return host.zoomPolls > polls + 20; }));
    RECT rect = RectInParent(overlay->hwnd, parent.handle());
    EXPECT_EQ(rect.right - rect.left, 0);

    logo.logoType = 0;
    logo.ApplySizeByType();
    overlay->SetLogo(logo);
    ASSERT_TRUE(PumpUntil([&] {
        rect = RectInParent(overlay->hwnd, parent.handle());
        return rect.right - rect.left == 48 && rect.bottom - rect.top == 24;
    }));
    polls = host.zoomPolls;
    EXPECT_TRUE(PumpUntil([&] { return host.zoomPolls > polls + 20; }));
}

TEST_F(OverlayWindow, RegistrationFailureLeavesTheOtherClassAndNoWindow) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW other{};
    other.lpfnWndProc = DefWindowProcW;
    other.hInstance = instance;
    other.lpszClassName = L"LogoMarkClass";
    ASSERT_NE(RegisterClassW(&other), 0);

    int code = 0;
    try {
        Make(ShownFor(5));
    } catch (const WindowException& e) {
        code = e.code;
    }
    EXPECT_EQ(code, 1);
    EXPECT_EQ(parent.ChildCount(), 0);
    // Still the other owner's class, and still registered: unregistering it succeeds once.
    EXPECT_NE(UnregisterClassW(L"LogoMarkClass", instance), FALSE);
    EXPECT_EQ(UnregisterClassW(L"LogoMarkClass", instance), FALSE);
}

TEST_F(OverlayWindow, TeardownUnregistersTheClassForTheNextOverlay) {
    Make(ShownFor(5)).reset();
    auto again = Make(ShownFor(5));
    EXPECT_NE(again->hwnd, nullptr);
}

}  // namespace
