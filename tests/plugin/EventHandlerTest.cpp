#include <gtest/gtest.h>

#include <vector>

#include "LogoPlugin.h"
#include "ScriptedHost.h"

using namespace TVTest;
using Stage = StreamCallbackManager::Stage;

namespace {

// What the stream side was last told: the stage, the collect flag and the target ids.
struct Target {
    Stage stage;
    bool collect;
    uint16_t networkId;
    uint16_t serviceId;
    bool operator==(const Target&) const = default;
};

void PrintTo(const Target& t, std::ostream* os) {
    *os << "{stage " << static_cast<int>(t.stage) << ", collect " << t.collect << ", "
        << t.networkId << ", " << t.serviceId << "}";
}

class EventHandlerTest : public ::testing::Test {
protected:
    EventHandlerTest() {
        plugin.param = &host.param;
        plugin.app = std::make_unique<CTVTestApp>(&host.param);
        host.tuningSpace = 2;
        host.channels = {ScriptedHost::Channel(13, 0x7FE0, 0x0400),
                         ScriptedHost::Channel(16, 0x7FE1, 0x0408),
                         ScriptedHost::Channel(27, 0x7FE2, 0x0410)};
        // The viewer's own record of the current channel carries other ids: the plug-in must
        // take them from the enumeration.
        host.current = ScriptedHost::Channel(16, 0x1111, 0x2222);
    }

    LRESULT Event(UINT code, LPARAM lParam1 = 0) {
        return EventCallback(code, lParam1, 0, &plugin);
    }

    Target Current() const {
        const StreamCallbackManager& m = plugin.manager;
        return Target{m.CurrentStage(), m.collectLogos, m.targetNetworkId, m.targetServiceId};
    }

    ScriptedHost host;
    LogoPlugin plugin;
};

TEST_F(EventHandlerTest, ChannelChangeEnumeratesThenAsksForTheCurrentChannel) {
    EXPECT_EQ(Event(EVENT_CHANNEL_CHANGE), 1);
    const std::vector<ScriptedHost::Call> calls = host.Calls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].message, HOST_MSG_GET_TUNING_SPACE);
    for (LPARAM index = 0; index < 4; ++index) {
        const ScriptedHost::Call& call = calls[1 + index];
        EXPECT_EQ(call.message, HOST_MSG_GET_CHANNEL);
        EXPECT_EQ(call.lParam2, (index << 16) | 2);
        EXPECT_EQ(call.sizeField, CHANNEL_RECORD_SIZE);
    }
    EXPECT_EQ(calls[5].message, HOST_MSG_GET_CURRENT_CHANNEL);
    EXPECT_EQ(calls[5].sizeField, CHANNEL_RECORD_SIZE);
}

struct ChannelCase {
    const char* name;
    bool enabled;
    bool preview;
    Target expected;
};

class ChannelChangeTest : public EventHandlerTest,
                          public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(ChannelChangeTest, TargetsTheEnumeratedIds) {
    const ChannelCase& c = GetParam();
    Event(EVENT_PLUGIN_ENABLE, c.enabled);
    Event(EVENT_PREVIEW_CHANGE, c.preview);
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Current(), c.expected);
    EXPECT_EQ(plugin.handler.currentNetworkId, 0x7FE1);
    EXPECT_EQ(plugin.handler.currentServiceId, 0x0408);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ChannelChangeTest,
    ::testing::Values(ChannelCase{"EnabledPreview", true, true, {Stage::SDT, true, 0x7FE1, 0x0408}},
                      ChannelCase{"EnabledOnly", true, false, {Stage::SDT, true, 0x7FE1, 0x0408}},
                      ChannelCase{
                          "PreviewOnly", false, true, {Stage::Ignore, false, 0x7FE1, 0x0408}},
                      ChannelCase{"Neither", false, false, {Stage::Ignore, false, 0x7FE1, 0x0408}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(EventHandlerTest, ChannelChangeToAnUnlistedNumberHidesAndIgnores) {
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_PREVIEW_CHANGE, 1);
    host.current = ScriptedHost::Channel(99, 0x7FE1, 0x0408);
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, 0, 0}));
}

TEST_F(EventHandlerTest, ChannelChangeWithoutACurrentChannelKeepsTheServiceId) {
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_PREVIEW_CHANGE, 1);
    Event(EVENT_CHANNEL_CHANGE);
    host.current.reset();
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, 0, 0x0408}));
    EXPECT_EQ(plugin.handler.currentNetworkId, 0);
}

TEST_F(EventHandlerTest, ALaterChannelOfTheSameNumberWins) {
    Event(EVENT_PLUGIN_ENABLE, 1);
    host.channels.push_back(ScriptedHost::Channel(16, 0x0004, 0x0101));
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Current(), (Target{Stage::SDT, true, 0x0004, 0x0101}));
}

TEST_F(EventHandlerTest, EnableAndPreviewRetargetWithoutShowing) {
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, 0x7FE1, 0x0408}));
    host.ClearCalls();
    EXPECT_EQ(Event(EVENT_PLUGIN_ENABLE, 1), 1);
    EXPECT_EQ(Current(), (Target{Stage::SDT, true, 0x7FE1, 0x0408}));
    EXPECT_EQ(Event(EVENT_PREVIEW_CHANGE, 1), 1);
    EXPECT_EQ(Current(), (Target{Stage::SDT, true, 0x7FE1, 0x0408}));
    EXPECT_EQ(Event(EVENT_PLUGIN_ENABLE, 0), 1);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, 0x7FE1, 0x0408}));
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(EventHandlerTest, DriverChangeForgetsTheNetwork) {
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Event(EVENT_DRIVER_CHANGE), 1);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, 0, 0x0408}));
    // With the network forgotten, enabling again cannot collect.
    Event(EVENT_PLUGIN_ENABLE, 1);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, 0, 0x0408}));
}

TEST_F(EventHandlerTest, ServiceChangeDoesNothingAndAnswersOne) {
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_CHANNEL_CHANGE);
    const Target before = Current();
    host.ClearCalls();
    EXPECT_EQ(Event(EVENT_SERVICE_CHANGE), 1);
    EXPECT_TRUE(host.Calls().empty());
    EXPECT_EQ(Current(), before);
}

TEST_F(EventHandlerTest, ServiceUpdateWhileTheNetworkIsKnownSendsNothing) {
    Event(EVENT_CHANNEL_CHANGE);
    host.ClearCalls();
    EXPECT_EQ(Event(EVENT_SERVICE_UPDATE), 1);
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(EventHandlerTest, ServiceUpdateWithoutANetworkTargetsTheCurrentService) {
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_PREVIEW_CHANGE, 1);
    host.current.reset();
    Event(EVENT_CHANNEL_CHANGE);
    host.current = ScriptedHost::Channel(5, 0x0004, 0x0999);
    host.serviceIndex = 3;
    host.serviceId = 0x0123;
    host.ClearCalls();
    EXPECT_EQ(Event(EVENT_SERVICE_UPDATE), 1);
    // Shown but not collected; the handler's ids stay so the next update tries again.
    EXPECT_EQ(Current(), (Target{Stage::SDT, false, 0x0004, 0x0123}));
    EXPECT_EQ(plugin.handler.currentNetworkId, 0);
    const std::vector<ScriptedHost::Call> calls = host.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].message, HOST_MSG_GET_CURRENT_CHANNEL);
    EXPECT_EQ(calls[0].sizeField, CHANNEL_RECORD_SIZE);
    EXPECT_EQ(calls[1].message, HOST_MSG_GET_SERVICE);
    EXPECT_EQ(calls[2].message, HOST_MSG_GET_SERVICE_INFO);
    EXPECT_EQ(calls[2].lParam1, 3);
    EXPECT_EQ(calls[2].sizeField, SERVICE_RECORD_SIZE);
}

struct UpdateFailure {
    const char* name;
    bool currentKnown;
    WORD networkId;
    LRESULT serviceIndex;
    bool serviceKnown;
};

class ServiceUpdateFailureTest : public EventHandlerTest,
                                 public ::testing::WithParamInterface<UpdateFailure> {};

TEST_P(ServiceUpdateFailureTest, LeavesTheTargetAlone) {
    const UpdateFailure& f = GetParam();
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_PREVIEW_CHANGE, 1);
    Event(EVENT_CHANNEL_CHANGE);
    Event(EVENT_DRIVER_CHANGE);
    const Target before = Current();
    if (f.currentKnown) {
        host.current = ScriptedHost::Channel(5, f.networkId, 0x0999);
    } else {
        host.current.reset();
    }
    host.serviceIndex = f.serviceIndex;
    if (f.serviceKnown) host.serviceId = 0x0123;
    EXPECT_EQ(Event(EVENT_SERVICE_UPDATE), 1);
    EXPECT_EQ(Current(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ServiceUpdateFailureTest,
    ::testing::Values(UpdateFailure{"NoCurrentChannel", false, 0x0004, 0, true},
                      UpdateFailure{"NetworkIdZero", true, 0, 0, true},
                      UpdateFailure{"NoService", true, 0x0004, -1, true},
                      UpdateFailure{"NoServiceRecord", true, 0x0004, 0, false}),
    [](const auto& p) { return std::string(p.param.name); });

class UnhandledEventTest : public EventHandlerTest, public ::testing::WithParamInterface<UINT> {};

TEST_P(UnhandledEventTest, AnswersZeroAndChangesNothing) {
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_CHANNEL_CHANGE);
    const Target before = Current();
    host.ClearCalls();
    EXPECT_EQ(Event(GetParam(), 1), 0);
    EXPECT_EQ(Current(), before);
    EXPECT_TRUE(host.Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, UnhandledEventTest,
                         ::testing::Values(1u, 6u, 7u, 9u, 10u, 11u, 12u, 13u, 14u, 15u, 16u, 17u,
                                           18u, 1000u));

}  // namespace
