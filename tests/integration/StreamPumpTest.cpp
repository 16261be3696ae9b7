#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "insigno/host/StreamPump.h"

namespace insigno::host {
namespace {

// What the stream callback received, packet by packet: the byte after the sync byte names it.
struct Received {
    std::mutex mutex;
    std::vector<int> order;
    std::atomic<int> count{0};
};

BOOL CALLBACK Record(BYTE* packet, void* clientData) {
    auto* received = static_cast<Received*>(clientData);
    std::lock_guard<std::mutex> lock(received->mutex);
    received->order.push_back(packet[0] == 0x47 && packet[187] == 0xEE ? packet[1] : -1);
    ++received->count;
    return TRUE;
}

class StreamPumpTest : public testing::Test {
protected:
    void SetUp() override {
        file = std::filesystem::temp_directory_path() /
               ("insigno-pump-" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ts");
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < PACKETS; ++i) {
            std::vector<char> packet(188, 0);
            packet[0] = 0x47;
            packet[1] = static_cast<char>(i);
            packet[187] = static_cast<char>(0xEE);
            out.write(packet.data(), 188);
        }
        out.write("\x47\x01\x02", 3);  // a cut packet at the end is not delivered
    }
    void TearDown() override { std::filesystem::remove(file); }

    bool WaitFor(const std::function<bool()>& done) {
        for (int i = 0; i < 60000 && !done(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return done();
    }

    static constexpr int PACKETS = 10;
    std::filesystem::path file;
    Received received;
};

TEST_F(StreamPumpTest, OnceDeliversEveryWholePacketInOrder) {
    StreamPump pump(file, 0, false);
    EXPECT_EQ(pump.PacketsPerPass(), static_cast<std::size_t>(PACKETS));
    pump.Start(Record, &received);
    ASSERT_TRUE(WaitFor([&] { return pump.Passes() == 1; }));
    pump.Stop();
    std::vector<int> expected;
    for (int i = 0; i < PACKETS; ++i) expected.push_back(i);
    EXPECT_EQ(received.order, expected);
    EXPECT_EQ(pump.Packets(), static_cast<std::uint64_t>(PACKETS));
}

// One callback of the pass holds the stream for a known least time: every callback is counted,
// and the longest hold is at least that long.
BOOL CALLBACK HoldOnFifth(BYTE* packet, void*) {
    if (packet[1] == 5) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    return TRUE;
}

TEST_F(StreamPumpTest, MeasuresHowLongEachCallbackHeldTheStream) {
    StreamPump pump(file, 0, false);
    pump.Start(HoldOnFifth, nullptr);
    ASSERT_TRUE(WaitFor([&] { return pump.Passes() == 1; }));
    pump.Stop();
    const StreamPump::Holds holds = pump.CallbackHolds();
    EXPECT_EQ(holds.callbacks, static_cast<std::uint64_t>(PACKETS));
    EXPECT_TRUE(holds.maxUs >= 3000 && holds.p999Us <= holds.maxUs) << holds.maxUs;
}

TEST_F(StreamPumpTest, LoopsUntilStoppedAndNothingArrivesAfterStop) {
    StreamPump pump(file, 0, true);
    pump.Start(Record, &received);
    ASSERT_TRUE(WaitFor([&] { return pump.Passes() >= 3; }));
    pump.Stop();
    const int atStop = received.count;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(received.count, atStop);
    std::lock_guard<std::mutex> lock(received.mutex);
    for (std::size_t i = 0; i < received.order.size(); ++i) {
        ASSERT_EQ(received.order[i], static_cast<int>(i % PACKETS)) << "packet " << i;
    }
}

TEST_F(StreamPumpTest, PausedPumpHoldsThenResumes) {
    StreamPump pump(file, 0, true);
    pump.Pause();
    pump.Start(Record, &received);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(received.count, 0);
    pump.Resume();
    EXPECT_TRUE(WaitFor([&] { return pump.Passes() >= 1; }));
    pump.Stop();  // also ends a pump that is paused again
}

TEST_F(StreamPumpTest, StopEndsAPausedPump) {
    StreamPump pump(file, 1000, true);  // paced: a second and a half a packet
    pump.Start(Record, &received);
    ASSERT_TRUE(WaitFor([&] { return received.count >= 1; }));
    pump.Pause();
    pump.Stop();
    EXPECT_FALSE(pump.Running());
}

TEST(StreamPump, RefusesAFileWithoutAPacket) {
    const auto empty = std::filesystem::temp_directory_path() / "insigno-pump-empty.ts";
    std::ofstream(empty) << "short";
    EXPECT_THROW(StreamPump(empty, 0, false), std::runtime_error);
    EXPECT_THROW(StreamPump(empty.string() + ".missing", 0, false), std::runtime_error);
    std::filesystem::remove(empty);
}

}  // namespace
}  // namespace insigno::host
