#include <atomic>
#include <thread>

#include "WindowTestSupport.h"

namespace insigno::platform::test {
namespace {

using MessageTest = WindowTest;

// Takes every message of this thread that is there now and dispatches it.
std::vector<MSG> Pump() {
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        taken.push_back(msg);
        DispatchMessageW(&msg);
    }
    return taken;
}

TEST_F(MessageTest, PostedMessagesGoToTheQueueOfTheWindowsThread) {
    HWND hwnd = Make();
    BOOL posted = FALSE;
    BOOL posterSawIt = TRUE;
    std::thread([&] {
        posted = PostMessageW(hwnd, WM_USER + 1, 7, 8);
        MSG msg;
        posterSawIt = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
    }).join();
    ASSERT_TRUE(posted);
    EXPECT_FALSE(posterSawIt);

    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "PM_NOREMOVE left it there";
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 8);
    DispatchMessageW(&msg);
    auto received = Recorder::Of(WM_USER + 1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].thread, GetCurrentThreadId());
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageTest, SendMessageFromAnotherThreadIsAnsweredByTheOwnerWhileItPeeks) {
    HWND hwnd = Make();
    std::atomic<bool> answered{false};
    LRESULT result = 0;
    std::thread sender([&] {
        result = SendMessageW(hwnd, WM_USER, 21, 0);
        answered = true;
    });
    bool peekReturnedAMessage = false;
    MSG msg;
    while (!answered) {
        peekReturnedAMessage |= PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
        std::this_thread::yield();
    }
    sender.join();
    EXPECT_EQ(result, 42);
    EXPECT_FALSE(peekReturnedAMessage) << "a sent message is answered, not returned";
    auto received = Recorder::Of(WM_USER);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].thread, GetCurrentThreadId());
}

TEST_F(MessageTest, SendMessageOnTheOwningThreadCallsTheProcedureAtOnce) {
    HWND hwnd = Make();
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 5, 0), 10);
    EXPECT_EQ(Recorder::Of(WM_USER).size(), 1u);
    EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, 0), HTCLIENT) << "DefWindowProcW's answer";
}

// The window procedure of the main thread's window sends to the worker's window while the worker
// waits in its own SendMessageW to the main thread: the worker answers in the meantime.
HWND workerWindow = nullptr;
LRESULT CALLBACK SendBack(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 3) {
        return SendMessageW(workerWindow, WM_USER, wParam, 0) + 1;
    }
    return Recorder::Procedure(hwnd, message, wParam, lParam);
}

TEST_F(MessageTest, ThreadsSendingToEachOtherAnswerWhileTheyWait) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = SendBack;
    windowClass.lpszClassName = L"SendsBack";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND mainWindow = CreateWindowExW(0, L"SendsBack", nullptr, 0, 0, 0, 1, 1, nullptr, nullptr,
                                      nullptr, nullptr);
    std::atomic<bool> ready{false}, answered{false};
    LRESULT result = 0;
    std::thread worker([&] {
        workerWindow = Make();
        ready = true;
        result = SendMessageW(mainWindow, WM_USER + 3, 4, 0);
        answered = true;
        DestroyWindow(workerWindow);
    });
    MSG msg;
    while (!answered) {
        if (ready) {
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        }
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(result, 9);
}

TEST_F(MessageTest, MessagesToADestroyedWindowAreDropped) {
    HWND hwnd = Make();
    HWND other = Make();
    ASSERT_TRUE(PostMessageW(hwnd, WM_USER + 1, 0, 0));
    ASSERT_TRUE(PostMessageW(other, WM_USER + 2, 0, 0));
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(PostMessageW(hwnd, WM_USER + 1, 0, 0));
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 1, 0), 0);
    auto taken = Pump();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].hwnd, other);
}

TEST_F(MessageTest, GetMessageReturnsZeroForTheQuitRequestAfterPostedMessages) {
    HWND hwnd = Make();
    PostQuitMessage(3);
    PostMessageW(hwnd, WM_USER + 1, 0, 0);
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "taken once";
}

TEST_F(MessageTest, GetMessageWaitsForAMessageFromAnotherThread) {
    DWORD thread = GetCurrentThreadId();
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes this thread's queue
    std::thread poster([&] { PostThreadMessageW(thread, WM_APP, 11, 0); });
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    poster.join();
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP));
    EXPECT_EQ(msg.wParam, 11u);
}

// Waits for WM_TIMER messages until one with `id` arrives; returns the ids seen.
std::vector<UINT_PTR> TimersUntil(HWND hwnd, UINT_PTR id) {
    std::vector<UINT_PTR> ids;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER) {
            EXPECT_EQ(msg.hwnd, hwnd);
            ids.push_back(msg.wParam);
            DispatchMessageW(&msg);
            if (msg.wParam == id) {
                break;
            }
        }
    }
    return ids;
}

constexpr UINT kHour = 3600 * 1000;

TEST_F(MessageTest, ATimerPostsWmTimerToTheOwnerAndIsDispatchedToTheWindow) {
    HWND hwnd = Make();
    ASSERT_NE(SetTimer(hwnd, 0, 10, nullptr), 0u);
    EXPECT_EQ(TimersUntil(hwnd, 0), (std::vector<UINT_PTR>{0}));
    auto received = Recorder::Of(WM_TIMER);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].hwnd, hwnd);
    EXPECT_TRUE(KillTimer(hwnd, 0));
    EXPECT_FALSE(KillTimer(hwnd, 0));
}

TEST_F(MessageTest, ASecondTimerWithTheSameWindowAndIdReplacesTheFirst) {
    HWND hwnd = Make();
    SetTimer(hwnd, 1, 10, nullptr);
    SetTimer(hwnd, 1, kHour, nullptr);
    SetTimer(hwnd, 2, 30, nullptr);
    // Had the 10 ms timer survived, its tick would have come first.
    EXPECT_EQ(TimersUntil(hwnd, 2), (std::vector<UINT_PTR>{2}));
}

TEST_F(MessageTest, AKilledTimerNeverTicks) {
    HWND hwnd = Make();
    SetTimer(hwnd, 3, 10, nullptr);
    KillTimer(hwnd, 3);
    SetTimer(hwnd, 4, 30, nullptr);
    EXPECT_EQ(TimersUntil(hwnd, 4), (std::vector<UINT_PTR>{4}));
}

TEST_F(MessageTest, TimersBelongToTheWindowsThread) {
    HWND hwnd = Make();
    UINT_PTR setElsewhere = 1;
    BOOL peekedElsewhere = TRUE;
    SetTimer(hwnd, 5, 10, nullptr);
    std::thread([&] {
        setElsewhere = SetTimer(hwnd, 6, 10, nullptr);
        Sleep(30);
        MSG msg;
        peekedElsewhere = PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
    }).join();
    EXPECT_EQ(setElsewhere, 0u);
    EXPECT_FALSE(peekedElsewhere);
    EXPECT_EQ(TimersUntil(hwnd, 5), (std::vector<UINT_PTR>{5}));
}

TEST_F(MessageTest, TheWindowsOfAnEndedThreadAreGone) {
    HWND hwnd = nullptr;
    std::thread([&] { hwnd = Make(); }).join();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessageW(hwnd, WM_USER, 0, 0));
    EXPECT_EQ(InsignoPlatform_WindowCount(), 0u);
}

}  // namespace
}  // namespace insigno::platform::test
