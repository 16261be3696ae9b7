// Shared state of the window side: classes, windows, per-thread message queues. One mutex guards
// all of it; window procedures are always called with it released, so they may call back in.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace insigno::platform {

using Clock = std::chrono::steady_clock;

struct WindowClass {
    std::wstring name;
    HINSTANCE instance;
    WNDPROC procedure;
    ATOM atom;
};

struct WindowRecord {
    HWND handle;
    std::wstring className;
    HINSTANCE classInstance;
    WNDPROC procedure;
    HWND parent;                 // null for a top-level window
    std::vector<HWND> children;  // top of the z-order first
    DWORD ownerThread;
    bool visible;
    bool destroying = false;
    RECT rect;  // relative to the parent's client area (screen for top-level)
    // Looked up by view, so that GetPropW, which every window procedure calls, never allocates.
    std::map<std::wstring, HANDLE, std::less<>> properties;
};

struct Queue;

struct SentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
    std::shared_ptr<Queue> sender;
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    std::chrono::milliseconds period;
    TIMERPROC procedure;
    Clock::time_point due;
};

struct Queue {
    DWORD thread;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::vector<Timer> timers;
    bool quit = false;
    int quitCode = 0;
    // Every wait of this thread (for messages, or for the answer to its own SendMessageW).
    std::condition_variable wake;
};

struct UserState {
    std::mutex mutex;
    std::map<std::pair<std::wstring, HINSTANCE>, WindowClass> classes;
    std::map<HWND, WindowRecord> windows;
    std::vector<HWND> topLevel;  // top of the z-order first
    std::map<DWORD, std::shared_ptr<Queue>> queues;
    std::uintptr_t nextHandle = 0x10000;
    ATOM nextAtom = 0xC000;
};

using Lock = std::unique_lock<std::mutex>;

UserState& User();

// The calling thread's id and queue; the queue is made on first use and goes when the thread
// ends. The lock of User() must be held.
DWORD CurrentThread();
std::shared_ptr<Queue> CurrentQueue(UserState& state);

WindowRecord* FindWindow(UserState& state, HWND hwnd);
// Pre-order: each window before its children, children in z-order.
void CollectDescendants(const UserState& state, HWND hwnd, std::vector<HWND>& out);
// Removes windows from the tables with their timers and queued messages, without messages.
void ForgetWindows(UserState& state, const std::vector<HWND>& windows);

// Answers the oldest message sent to `queue`'s thread by another thread, if any. Called by that
// thread with the lock held; releases it around the window procedure.
bool AnswerOneSent(Lock& lock, UserState& state, Queue& queue);

// Calls the window procedure on this thread, or waits for the owning thread to do it.
LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

std::wstring KeyOf(LPCWSTR nameOrAtom);

}  // namespace insigno::platform
