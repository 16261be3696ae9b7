#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "LogoPlugin.h"
#include "ScriptedHost.h"

using namespace TVTest;
using Stage = StreamCallbackManager::Stage;

namespace {

// What the stream side was last told: the stage, the show and collect flags and the target ids.
struct Target {
    Stage stage;
    bool show;
    bool collect;
    uint16_t networkId;
    uint16_t serviceId;
    bool operator==(const Target&) const = default;
};

void PrintTo(const Target& t, std::ostream* os) {
    *os << "{stage " << static_cast<int>(t.stage) << ", show " << t.show << ", collect "
        << t.collect << ", " << t.networkId << ", " << t.serviceId << "}";
}

class EventHandlerTest : public ::testing::Test {
protected:
    EventHandlerTest() {
        plugin.param = &host.param;
        plugin.app = std::make_unique<CTVTestApp>(&host.param);
        host.tuningSpace = 2;
        // Entries sharing a channel number, as the services of one transponder do: the
        // enumeration cannot tell which one is selected, message 4's own record does.
        host.channels = {ScriptedHost::Channel(16, 0x1111, 0x2222),
                         ScriptedHost::Channel(16, 0x7FE1, 0x0408),
                         ScriptedHost::Channel(16, 0x3333, 0x4444)};
        host.current = ScriptedHost::Channel(16, 0x7FE1, 0x0408);
    }

    LRESULT Event(UINT code, LPARAM lParam1 = 0) {
        return EventCallback(code, lParam1, 0, &plugin);
    }

    Target Current() const {
        const StreamCallbackManager& m = plugin.manager;
        return Target{m.CurrentStage(), m.showLogo, m.collectLogos, m.targetNetworkId,
                      m.targetServiceId};
    }

    ScriptedHost host;
    LogoPlugin plugin;
};

TEST_F(EventHandlerTest, ChannelChangeAsksForTheCurrentChannelThenTheWatchedService) {
    host.serviceIndex = 2;
    host.serviceId = 0x0409;
    EXPECT_EQ(Event(EVENT_CHANNEL_CHANGE), 1);
    const std::vector<ScriptedHost::Call> calls = host.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].message, HOST_MSG_GET_CURRENT_CHANNEL);
    EXPECT_EQ(calls[0].sizeField, CHANNEL_RECORD_SIZE);
    EXPECT_EQ(calls[1].message, HOST_MSG_GET_SERVICE);
    EXPECT_EQ(calls[2].message, HOST_MSG_GET_SERVICE_INFO);
    EXPECT_EQ(calls[2].lParam1, 2);
    EXPECT_EQ(calls[2].sizeField, SERVICE_RECORD_SIZE);
}

struct ChannelCase {
    const char* name;
    bool enabled;
    bool preview;
    Target expected;
};

class ChannelChangeTest : public EventHandlerTest,
                          public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(ChannelChangeTest, ShowsOnlyWithThePreviewAndCollectsWhenEnabled) {
    const ChannelCase& c = GetParam();
    Event(EVENT_PLUGIN_ENABLE, c.enabled);
    Event(EVENT_PREVIEW_CHANGE, c.preview);
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Current(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ChannelChangeTest,
    ::testing::Values(
        ChannelCase{"EnabledPreview", true, true, {Stage::SDT, true, true, 0x7FE1, 0x0408}},
        ChannelCase{"EnabledOnly", true, false, {Stage::SDT, false, true, 0x7FE1, 0x0408}},
        ChannelCase{"PreviewOnly", false, true, {Stage::Ignore, false, false, 0x7FE1, 0x0408}},
        ChannelCase{"Neither", false, false, {Stage::Ignore, false, false, 0x7FE1, 0x0408}}),
    [](const auto& p) { return std::string(p.param.name); });

// Where the ids of a channel change come from.
struct WatchedCase {
    const char* name;
    ChannelRecord current;
    LRESULT serviceIndex;
    std::optional<WORD> serviceId;
    uint16_t networkId;  // expected
    uint16_t service;    // expected
};

class WatchedServiceTest : public EventHandlerTest,
                           public ::testing::WithParamInterface<WatchedCase> {};

TEST_P(WatchedServiceTest, TargetsTheCurrentChannelsNetworkAndTheWatchedService) {
    const WatchedCase& c = GetParam();
    host.current = c.current;
    host.serviceIndex = c.serviceIndex;
    host.serviceId = c.serviceId;
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Current(), (Target{Stage::SDT, false, true, c.networkId, c.service}));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WatchedServiceTest,
    ::testing::Values(
        WatchedCase{"NoServiceIndex", ScriptedHost::Channel(16, 0x7FE1, 0x0408), -1, 0x0409, 0x7FE1,
                    0x0408},
        WatchedCase{"WatchedService", ScriptedHost::Channel(16, 0x7FE1, 0x0408), 1, 0x0409, 0x7FE1,
                    0x0409},
        WatchedCase{"NoServiceRecord", ScriptedHost::Channel(16, 0x7FE1, 0x0408), 1, std::nullopt,
                    0x7FE1, 0x0408},
        WatchedCase{"UnlistedNumber", ScriptedHost::Channel(99, 0x0004, 0x0101), -1, std::nullopt,
                    0x0004, 0x0101},
        // A list never scanned: the stream side learns the network; collection still runs.
        WatchedCase{"UnscannedList", ScriptedHost::Channel(16, 0, 0), 0, 0x0409, 0, 0x0409}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(EventHandlerTest, ChannelChangeWithoutACurrentChannelKeepsTheServiceId) {
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_PREVIEW_CHANGE, 1);
    Event(EVENT_CHANNEL_CHANGE);
    host.current.reset();
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, false, 0, 0x0408}));
    EXPECT_EQ(plugin.handler.currentNetworkId, 0);
}

TEST_F(EventHandlerTest, EnableAndPreviewRetargetShowingOnlyWithBoth) {
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, false, 0x7FE1, 0x0408}));
    host.ClearCalls();
    EXPECT_EQ(Event(EVENT_PLUGIN_ENABLE, 1), 1);
    EXPECT_EQ(Current(), (Target{Stage::SDT, false, true, 0x7FE1, 0x0408}));
    EXPECT_EQ(Event(EVENT_PREVIEW_CHANGE, 1), 1);
    EXPECT_EQ(Current(), (Target{Stage::SDT, true, true, 0x7FE1, 0x0408}));
    EXPECT_EQ(Event(EVENT_PREVIEW_CHANGE, 0), 1);
    EXPECT_EQ(Current(), (Target{Stage::SDT, false, true, 0x7FE1, 0x0408}));
    EXPECT_EQ(Event(EVENT_PLUGIN_ENABLE, 0), 1);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, false, 0x7FE1, 0x0408}));
    // Only whether the viewer hands out its own logos, asked once when a logo is first shown.
    const std::vector<ScriptedHost::Call> calls = host.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, HOST_MSG_QUERY_MESSAGE);
    EXPECT_EQ(calls[0].lParam1, HOST_MSG_GET_LOGO);
}

TEST_F(EventHandlerTest, DriverChangeForgetsTheNetwork) {
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_CHANNEL_CHANGE);
    EXPECT_EQ(Event(EVENT_DRIVER_CHANGE), 1);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, false, 0, 0x0408}));
    // With the channel forgotten, enabling again cannot collect.
    Event(EVENT_PLUGIN_ENABLE, 1);
    EXPECT_EQ(Current(), (Target{Stage::Ignore, false, false, 0, 0x0408}));
}

// A service change after a channel change; the stage is moved on to the CDT stage first, so a
// retarget (which always restarts the SDT stage) can be told from none.
struct ServiceChangeCase {
    const char* name;
    std::optional<ChannelRecord> current;
    LRESULT serviceIndex;
    Target expected;
};

class ServiceChangeTest : public EventHandlerTest,
                          public ::testing::WithParamInterface<ServiceChangeCase> {};

TEST_P(ServiceChangeTest, RetargetsOnlyWhenTheNetworkOrServiceChanged) {
    const ServiceChangeCase& c = GetParam();
    Event(EVENT_PLUGIN_ENABLE, 1);
    Event(EVENT_PREVIEW_CHANGE, 1);
    Event(EVENT_CHANNEL_CHANGE);
    plugin.manager.packetHandler = Stage::CDT;
    host.current = c.current;
    host.serviceIndex = c.serviceIndex;
    host.serviceId = 0x0409;
    EXPECT_EQ(Event(EVENT_SERVICE_CHANGE), 1);
    EXPECT_EQ(Current(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ServiceChangeTest,
    ::testing::Values(ServiceChangeCase{"Unchanged",
                                        ScriptedHost::Channel(16, 0x7FE1, 0x0408),
                                        -1,
                                        {Stage::CDT, true, true, 0x7FE1, 0x0408}},
                      ServiceChangeCase{"OtherService",
                                        ScriptedHost::Channel(16, 0x7FE1, 0x0408),
                                        0,
                                        {Stage::SDT, true, true, 0x7FE1, 0x0409}},
                      ServiceChangeCase{"OtherNetwork",
                                        ScriptedHost::Channel(16, 0x0004, 0x0408),
                                        -1,
                                        {Stage::SDT, true, true, 0x0004, 0x0408}},
                      ServiceChangeCase{"NoCurrentChannel",
                                        std::nullopt,
                                        -1,
                                        {Stage::Ignore, false, false, 0, 0x0408}}),
    [](const auto& p) { return std::string(p.param.name); });

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
    EXPECT_EQ(Current(), (Target{Stage::SDT, true, false, 0x0004, 0x0123}));
    EXPECT_EQ(plugin.handler.currentNetworkId, 0);
    const std::vector<ScriptedHost::Call> calls = host.Calls();
    ASSERT_EQ(calls.size(), 4u);  // the fourth asks whether the viewer hands out logos
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
