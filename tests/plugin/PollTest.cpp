#include <gtest/gtest.h>

#include "LogoPlugin.h"
#include "ScriptedHost.h"

using namespace TVTest;

namespace {

class PollTest : public ::testing::Test {
protected:
    PollTest() {
        plugin.param = &host.param;
        plugin.app = std::make_unique<CTVTestApp>(&host.param);
    }

    // The full-screen flag behind PollAspect is process-wide; settle it to the host's state.
    void SettleFullScreen() {
        int x = 16, y = 9;
        host.aspect.reset();
        plugin.manager.PollAspect(x, y);
        host.ClearCalls();
    }

    ScriptedHost host;
    LogoPlugin plugin;
};

TEST_F(PollTest, ZoomIgnoresZeroAndRepeats) {
    int zoom = 100;
    host.zoom = 0;
    EXPECT_FALSE(plugin.manager.PollZoom(zoom));
    EXPECT_EQ(zoom, 100);
    host.zoom = 150;
    EXPECT_TRUE(plugin.manager.PollZoom(zoom));
    EXPECT_EQ(zoom, 150);
    EXPECT_FALSE(plugin.manager.PollZoom(zoom));
    EXPECT_EQ(zoom, 150);
    EXPECT_EQ(host.Messages(),
              (std::vector<UINT>{HOST_MSG_GET_ZOOM, HOST_MSG_GET_ZOOM, HOST_MSG_GET_ZOOM}));
}

struct AspectCase {
    const char* name;
    int startX, startY;
    std::optional<std::pair<int, int>> answer;
    bool changed;
    int endX, endY;
};

class AspectTest : public PollTest, public ::testing::WithParamInterface<AspectCase> {};

TEST_P(AspectTest, ReportsAChangedRatio) {
    const AspectCase& c = GetParam();
    SettleFullScreen();
    host.aspect = c.answer;
    int x = c.startX, y = c.startY;
    EXPECT_EQ(plugin.manager.PollAspect(x, y), c.changed);
    EXPECT_EQ(x, c.endX);
    EXPECT_EQ(y, c.endY);
    const std::vector<ScriptedHost::Call> calls = host.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].message, HOST_MSG_GET_ASPECT);
    EXPECT_EQ(calls[0].sizeField, ASPECT_RECORD_SIZE);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AspectTest,
    ::testing::Values(AspectCase{"UnknownIs16To9", 16, 9, std::pair{0, 0}, false, 16, 9},
                      AspectCase{"UnknownReplaces4To3", 4, 3, std::pair{0, 0}, true, 16, 9},
                      AspectCase{"Same", 4, 3, std::pair{4, 3}, false, 4, 3},
                      AspectCase{"New", 16, 9, std::pair{4, 3}, true, 4, 3},
                      AspectCase{"OneTermUnknown", 16, 9, std::pair{4, 0}, true, 4, 9},
                      // Neither message 20 nor message 24 answers: 16:9.
                      AspectCase{"NoAnswer", 4, 3, std::nullopt, true, 16, 9}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(PollTest, FullScreenSwitchIsReportedOnce) {
    SettleFullScreen();
    int x = 16, y = 9;
    host.fullScreen = true;
    EXPECT_TRUE(plugin.manager.PollAspect(x, y));
    EXPECT_FALSE(plugin.manager.PollAspect(x, y));
    host.fullScreen = false;
    EXPECT_TRUE(plugin.manager.PollAspect(x, y));
    EXPECT_FALSE(plugin.manager.PollAspect(x, y));
}

TEST_F(PollTest, ARatioChangeAlsoTakesTheFullScreenState) {
    SettleFullScreen();
    int x = 16, y = 9;
    host.aspect = std::pair{4, 3};
    host.fullScreen = true;
    EXPECT_TRUE(plugin.manager.PollAspect(x, y));
    // The switch to full screen was absorbed by the ratio change.
    EXPECT_FALSE(plugin.manager.PollAspect(x, y));
}

// Exits 0 when the first two polls report a change and then none.
void PollTwiceAndExit(const StreamCallbackManager& manager) {
    int x = 16;
    int y = 9;
    const bool first = manager.PollAspect(x, y);
    const bool second = manager.PollAspect(x, y);
    std::exit(first && !second ? 0 : 1);
}

// The flag starts false once per process: the first poll runs in a freshly started copy of
// this program (the threadsafe death-test style re-executes it).
TEST_F(PollTest, FirstPollInFullScreenReportsAChange) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    host.aspect = std::pair{16, 9};
    host.fullScreen = true;
    EXPECT_EXIT(PollTwiceAndExit(plugin.manager), ::testing::ExitedWithCode(0), "");
}

}  // namespace
