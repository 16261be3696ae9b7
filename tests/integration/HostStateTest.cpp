#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "HostProtocol.h"
#include "insigno/host/HostState.h"

namespace insigno::host {
namespace {

using TVTest::AspectRecord;
using TVTest::ChannelRecord;
using TVTest::ServiceRecord;

ViewerState TwoChannels() {
    ViewerState v;
    v.tuningSpace = 2;
    v.channels = {{101, 0x7FE0, 0x0400, "one"}, {102, 0x7FE1, 0x0402, "two"}};
    v.current = CurrentChannel{102, {}, {}};
    v.services = {0x0400, 0x0401};
    v.currentService = 1;
    return v;
}

ChannelRecord Channel() {
    ChannelRecord record{};
    record.size = TVTest::CHANNEL_RECORD_SIZE;
    return record;
}

LPARAM Ptr(void* p) {
    return reinterpret_cast<LPARAM>(p);
}

TEST(HostState, EnumeratesTheChannelsOfTheTuningSpaceByIndex) {
    HostState state(TwoChannels());
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_TUNING_SPACE, 0, 0), 2);
    ChannelRecord record = Channel();
    ASSERT_EQ(state.Answer(TVTest::HOST_MSG_GET_CHANNEL, Ptr(&record), (1 << 16) | 2), 1);
    EXPECT_EQ(record.channelNumber, 102);
    EXPECT_EQ(record.networkId, 0x7FE1);
    EXPECT_EQ(record.serviceId, 0x0402);
    EXPECT_EQ(record.size, TVTest::CHANNEL_RECORD_SIZE);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_CHANNEL, Ptr(&record), (2 << 16) | 2), 0);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_CHANNEL, Ptr(&record), (0 << 16) | 3), 0);
}

TEST(HostState, CurrentChannelTakesTheListedIdsUnlessGivenItsOwn) {
    HostState state(TwoChannels());
    ChannelRecord record = Channel();
    ASSERT_EQ(state.Answer(TVTest::HOST_MSG_GET_CURRENT_CHANNEL, Ptr(&record), 0), 1);
    EXPECT_EQ(record.channelNumber, 102);
    EXPECT_EQ(record.networkId, 0x7FE1);
    EXPECT_EQ(record.serviceId, 0x0402);

    state.Change([](ViewerState& v) { v.current = CurrentChannel{999, {}, {}}; });
    record = Channel();
    ASSERT_EQ(state.Answer(TVTest::HOST_MSG_GET_CURRENT_CHANNEL, Ptr(&record), 0), 1);
    EXPECT_EQ(record.channelNumber, 999);
    EXPECT_EQ(record.networkId, 0);

    state.Change([](ViewerState& v) { v.current = CurrentChannel{101, 0x1234, 0x0042}; });
    ASSERT_EQ(state.Answer(TVTest::HOST_MSG_GET_CURRENT_CHANNEL, Ptr(&record), 0), 1);
    EXPECT_EQ(record.networkId, 0x1234);
    EXPECT_EQ(record.serviceId, 0x0042);

    state.Change([](ViewerState& v) { v.current.reset(); });
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_CURRENT_CHANNEL, Ptr(&record), 0), 0);
}

TEST(HostState, ServicesByIndex) {
    HostState state(TwoChannels());
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_SERVICE, 0, 0), 1);
    ServiceRecord record{};
    record.size = TVTest::SERVICE_RECORD_SIZE;
    ASSERT_EQ(state.Answer(TVTest::HOST_MSG_GET_SERVICE_INFO, 1, Ptr(&record)), 1);
    EXPECT_EQ(record.serviceId, 0x0401);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_SERVICE_INFO, 2, Ptr(&record)), 0);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_SERVICE_INFO, -1, Ptr(&record)), 0);
    state.Change([](ViewerState& v) { v.currentService = -1; });
    EXPECT_LT(state.Answer(TVTest::HOST_MSG_GET_SERVICE, 0, 0), 0);
}

TEST(HostState, ViewAnswers) {
    ViewerState v;
    v.zoom = 150;
    v.aspect = {{4, 3}};
    v.fullScreen = true;
    HostState state(v);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_ZOOM, 0, 0), 150);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_FULLSCREEN, 0, 0), 1);
    AspectRecord aspect{};
    aspect.size = TVTest::ASPECT_RECORD_SIZE;
    ASSERT_EQ(state.Answer(TVTest::HOST_MSG_GET_ASPECT, Ptr(&aspect), 0), 1);
    EXPECT_EQ(aspect.aspectX, 4);
    EXPECT_EQ(aspect.aspectY, 3);
    state.Change([](ViewerState& s) {
        s.aspect.reset();
        s.fullScreen = false;
        s.zoom = 0;
    });
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_ASPECT, Ptr(&aspect), 0), 0);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_FULLSCREEN, 0, 0), 0);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_ZOOM, 0, 0), 0);
}

// A record whose size field is not the protocol's is never written: the buffer behind it may be
// smaller than the record.
TEST(HostState, RecordsOfAnotherSizeAreNotWritten) {
    HostState state(TwoChannels());
    ChannelRecord channel{};
    channel.size = 100;
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_CURRENT_CHANNEL, Ptr(&channel), 0), 0);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_CHANNEL, Ptr(&channel), 2), 0);
    EXPECT_EQ(channel.channelNumber, 0);
    ServiceRecord service{};
    service.size = 4;
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_SERVICE_INFO, 0, Ptr(&service)), 0);
    EXPECT_EQ(service.serviceId, 0);
    AspectRecord aspect{};
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_ASPECT, Ptr(&aspect), 0), 0);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_ASPECT, 0, 0), 0);
    EXPECT_EQ(state.Answer(TVTest::HOST_MSG_GET_CURRENT_CHANNEL, 0, 0), 0);
    EXPECT_FALSE(HostState::Answers(TVTest::HOST_MSG_SET_EVENT_CALLBACK));
    EXPECT_FALSE(HostState::Answers(TVTest::HOST_MSG_SET_STREAM_CALLBACK));
    EXPECT_TRUE(HostState::Answers(TVTest::HOST_MSG_GET_ZOOM));
}

// The overlay's render thread and the UI thread ask while scenario steps change the state.
TEST(HostState, AnswersWhileTheStateChanges) {
    HostState state(TwoChannels());
    std::atomic<bool> stop{false};
    auto ask = [&] {
        while (!stop) {
            AspectRecord aspect{};
            aspect.size = TVTest::ASPECT_RECORD_SIZE;
            const LRESULT ok = state.Answer(TVTest::HOST_MSG_GET_ASPECT, Ptr(&aspect), 0);
            EXPECT_TRUE(!ok || (aspect.aspectX == 16 && aspect.aspectY == 9) ||
                        (aspect.aspectX == 4 && aspect.aspectY == 3));
            const LRESULT zoom = state.Answer(TVTest::HOST_MSG_GET_ZOOM, 0, 0);
            EXPECT_TRUE(zoom == 100 || zoom == 200);
        }
    };
    std::thread a(ask), b(ask);
    for (int i = 0; i < 2000; ++i) {
        state.Change([i](ViewerState& v) {
            v.zoom = i % 2 ? 200 : 100;
            v.aspect = i % 3 ? std::optional<std::pair<int, int>>{{4, 3}}
                             : std::optional<std::pair<int, int>>{{16, 9}};
        });
    }
    stop = true;
    a.join();
    b.join();
    EXPECT_EQ(state.Get().zoom, 200);
}

}  // namespace
}  // namespace insigno::host
