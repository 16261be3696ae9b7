// Real Win32 message semantics the overlay relies on (and the Linux stand-in imitates): sent
// messages run on the window's thread, posted messages queue there, timers arrive as WM_TIMER
// and one id holds one timer.
#include "TestWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

namespace {

constexpr UINT MSG_DOUBLE = WM_APP + 1;
constexpr UINT MSG_WORKER_DONE = WM_APP + 2;

// Takes messages until `until` arrives for the window; sent messages are handled inside
// GetMessageW. Returns the message that ended the loop.
MSG PumpUntil(HWND hwnd, UINT until) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == hwnd && msg.message == until) {
            return msg;
        }
        DispatchMessageW(&msg);
    }
    ADD_FAILURE() << "message loop ended before message " << until;
    return msg;
}

class WineMessages : public ::testing::Test {
protected:
    void SetUp() override {
        window.SetHandler([this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (msg == MSG_DOUBLE) {
                procedureThread = GetCurrentThreadId();
                return static_cast<LRESULT>(wParam * 2);
            }
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        });
    }

    TestWindow window{64, 64};
    std::atomic<DWORD> procedureThread{0};
};

TEST_F(WineMessages, SendFromTheOwningThreadCallsTheProcedureDirectly) {
    EXPECT_EQ(SendMessageW(window.Child(), MSG_DOUBLE, 21, 0), 42);
    EXPECT_EQ(procedureThread, GetCurrentThreadId());
}

TEST_F(WineMessages, SendFromAnotherThreadRunsOnTheOwnerWhileItTakesMessages) {
    const DWORD owner = GetCurrentThreadId();
    const HWND target = window.Child();
    std::atomic<LRESULT> result{0};
    std::atomic<DWORD> workerThread{0};
    std::thread worker([&] {
        workerThread = GetCurrentThreadId();
        result = SendMessageW(target, MSG_DOUBLE, 50, 0);
        PostMessageW(window.Top(), MSG_WORKER_DONE, 0, 0);
    });
    const MSG done = PumpUntil(window.Top(), MSG_WORKER_DONE);
    worker.join();
    EXPECT_EQ(done.message, MSG_WORKER_DONE);
    EXPECT_EQ(result, 100);
    EXPECT_EQ(procedureThread, owner);
    EXPECT_NE(procedureThread, workerThread);
}

TEST_F(WineMessages, TimerArrivesAsWmTimerInTheOwnersQueue) {
    ASSERT_NE(SetTimer(window.Top(), 5, 1, nullptr), 0u);
    const MSG timer = PumpUntil(window.Top(), WM_TIMER);
    EXPECT_EQ(timer.wParam, 5u);
    EXPECT_TRUE(KillTimer(window.Top(), 5));
}

TEST_F(WineMessages, SettingATimerWithTheSameIdReplacesIt) {
    ASSERT_NE(SetTimer(window.Top(), 9, 60000, nullptr), 0u);
    ASSERT_NE(SetTimer(window.Top(), 9, 1, nullptr), 0u);
    // The replacement's period applies: it fires although the first one would not for a minute.
    const MSG timer = PumpUntil(window.Top(), WM_TIMER);
    EXPECT_EQ(timer.wParam, 9u);
    EXPECT_TRUE(KillTimer(window.Top(), 9));
    EXPECT_FALSE(KillTimer(window.Top(), 9)) << "a second timer with the same id survived";
}

}  // namespace
