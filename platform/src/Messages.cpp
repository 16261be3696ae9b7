// Posting, sending, peeking and dispatching messages; timers.
#include <windows.h>

#include <algorithm>
#include <optional>

#include "UserState.h"

using namespace insigno::platform;

namespace {

bool MatchesWindow(const UserState& state, HWND filter, HWND hwnd) {
    if (!filter) {
        return true;
    }
    if (filter == reinterpret_cast<HWND>(-1)) {
        return hwnd == nullptr;
    }
    // A window filter also takes the messages of the window's descendants.
    for (auto it = state.windows.find(hwnd); it != state.windows.end();
         it = state.windows.find(it->second.parent)) {
        if (it->first == filter) {
            return true;
        }
    }
    return false;
}

bool MatchesRange(UINT message, UINT min, UINT max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{hwnd, message, wParam, lParam, GetTickCount(), POINT{0, 0}};
}

// Windows' order: posted messages, then the quit request, then due timers.
bool TakeMessage(UserState& state, Queue& queue, MSG* msg, HWND filter, UINT min, UINT max,
                 bool remove) {
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (MatchesWindow(state, filter, it->hwnd) && MatchesRange(it->message, min, max)) {
            *msg = *it;
            if (remove) {
                queue.posted.erase(it);
            }
            return true;
        }
    }
    if (queue.quit) {
        // WM_QUIT passes every filter.
        *msg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
        if (remove) {
            queue.quit = false;
        }
        return true;
    }
    auto now = Clock::now();
    for (Timer& timer : queue.timers) {
        if (timer.due <= now && MatchesWindow(state, filter, timer.hwnd) &&
            MatchesRange(WM_TIMER, min, max)) {
            *msg = MakeMessage(timer.hwnd, WM_TIMER, timer.id,
                               reinterpret_cast<LPARAM>(timer.procedure));
            if (remove) {
                timer.due = now + timer.period;
            }
            return true;
        }
    }
    return false;
}

std::optional<Clock::time_point> NextTimer(const UserState& state, const Queue& queue, HWND filter,
                                           UINT min, UINT max) {
    std::optional<Clock::time_point> next;
    if (!MatchesRange(WM_TIMER, min, max)) {
        return next;
    }
    for (const Timer& timer : queue.timers) {
        if (MatchesWindow(state, filter, timer.hwnd) && (!next || timer.due < *next)) {
            next = timer.due;
        }
    }
    return next;
}

BOOL PostTo(UserState& state, DWORD thread, const MSG& msg) {
    auto it = state.queues.find(thread);
    if (it == state.queues.end()) {
        return FALSE;
    }
    it->second->posted.push_back(msg);
    it->second->wake.notify_all();
    return TRUE;
}

}  // namespace

extern "C" BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    UserState& state = User();
    Lock lock(state.mutex);
    if (!hWnd) {
        CurrentQueue(state);
        return PostTo(state, CurrentThread(), MakeMessage(nullptr, Msg, wParam, lParam));
    }
    WindowRecord* window = FindWindow(state, hWnd);
    if (!window || window->destroying) {
        return FALSE;
    }
    return PostTo(state, window->ownerThread, MakeMessage(hWnd, Msg, wParam, lParam));
}

extern "C" BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    UserState& state = User();
    Lock lock(state.mutex);
    return PostTo(state, idThread, MakeMessage(nullptr, Msg, wParam, lParam));
}

extern "C" LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return Send(hWnd, Msg, wParam, lParam);
}

extern "C" BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                                    UINT wRemoveMsg) {
    if (!lpMsg) {
        return FALSE;
    }
    UserState& state = User();
    Lock lock(state.mutex);
    auto queue = CurrentQueue(state);
    while (AnswerOneSent(lock, state, *queue)) {
    }
    return TakeMessage(state, *queue, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax,
                       (wRemoveMsg & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}

extern "C" BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!lpMsg) {
        return -1;
    }
    UserState& state = User();
    Lock lock(state.mutex);
    auto queue = CurrentQueue(state);
    for (;;) {
        while (AnswerOneSent(lock, state, *queue)) {
        }
        if (TakeMessage(state, *queue, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        }
        if (auto next = NextTimer(state, *queue, hWnd, wMsgFilterMin, wMsgFilterMax)) {
            queue->wake.wait_until(lock, *next);
        } else {
            queue->wake.wait(lock);
        }
    }
}

extern "C" BOOL WINAPI TranslateMessage(const MSG* /*lpMsg*/) {
    // There is no keyboard input to translate.
    return FALSE;
}

extern "C" LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (!lpMsg || !lpMsg->hwnd) {
        return 0;
    }
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        reinterpret_cast<TIMERPROC>(lpMsg->lParam)(lpMsg->hwnd, WM_TIMER, lpMsg->wParam,
                                                   GetTickCount());
        return 0;
    }
    WNDPROC procedure = nullptr;
    {
        UserState& state = User();
        Lock lock(state.mutex);
        WindowRecord* window = FindWindow(state, lpMsg->hwnd);
        // Windows refuses to dispatch to another thread's window.
        if (!window || window->ownerThread != CurrentThread()) {
            return 0;
        }
        procedure = window->procedure;
    }
    return procedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

extern "C" VOID WINAPI PostQuitMessage(int nExitCode) {
    UserState& state = User();
    Lock lock(state.mutex);
    auto queue = CurrentQueue(state);
    queue->quit = true;
    queue->quitCode = nExitCode;
    queue->wake.notify_all();
}

extern "C" UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse,
                                    TIMERPROC lpTimerFunc) {
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    // Timers without a window are not provided; a window's timer is set by its own thread.
    if (!window || window->destroying || window->ownerThread != CurrentThread()) {
        return 0;
    }
    auto queue = CurrentQueue(state);
    // USER_TIMER_MINIMUM and USER_TIMER_MAXIMUM of Windows.
    auto period = std::chrono::milliseconds(std::clamp<UINT>(uElapse, 0xA, 0x7FFFFFFF));
    Timer timer{hWnd, nIDEvent, period, lpTimerFunc, Clock::now() + period};
    auto it = std::find_if(queue->timers.begin(), queue->timers.end(),
                           [&](const Timer& t) { return t.hwnd == hWnd && t.id == nIDEvent; });
    if (it != queue->timers.end()) {
        *it = timer;
    } else {
        queue->timers.push_back(timer);
    }
    queue->wake.notify_all();
    return nIDEvent ? nIDEvent : 1;
}

extern "C" BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    if (!window || window->ownerThread != CurrentThread()) {
        return FALSE;
    }
    auto queue = CurrentQueue(state);
    auto removed = std::erase_if(
        queue->timers, [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
    return removed ? TRUE : FALSE;
}

extern "C" HDC WINAPI BeginPaint(HWND /*hWnd*/, LPPAINTSTRUCT lpPaint) {
    if (lpPaint) {
        *lpPaint = PAINTSTRUCT{};
    }
    return nullptr;
}

extern "C" BOOL WINAPI EndPaint(HWND /*hWnd*/, const PAINTSTRUCT* /*lpPaint*/) {
    return TRUE;
}
