#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "WindowAsChild.h"

namespace overlay_test {

// The host's side of the two polls, answered the way the plug-in's polls answer: a zoom of 0 or
// the held value is no change; an aspect differing from the held one is stored and reported.
// Counters let a test see render passes happen without looking at the clock.
struct FakeHost {
    std::atomic<int> zoom{100};
    std::atomic<int> aspectX{16};
    std::atomic<int> aspectY{9};
    // Answer every zoom poll with a new value, so that every pass resizes the window.
    std::atomic<bool> zoomKeepsChanging{false};
    std::atomic<int> zoomPolls{0};
    std::atomic<int> aspectPolls{0};
    // Polls made on another thread than the one that made this host (the viewer's).
    std::atomic<int> offThreadPolls{0};
    const std::thread::id viewerThread = std::this_thread::get_id();

    ZoomQuery Zoom();
    AspectQuery Aspect();
};

// Construction arguments of the overlay, with the settings' defaults.
using OverlaySettings = OverlayLook;

// A visible top-level window standing in for the host's video container, owned by the calling
// thread, which acts as the host's UI thread.
class ParentWindow {
public:
    ParentWindow(int width, int height);
    ~ParentWindow();
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    HWND handle() const { return hwnd; }
    int ChildCount() const;

private:
    HWND hwnd = nullptr;
};

std::unique_ptr<WindowAsChild> MakeOverlay(HWND parent, FakeHost& host,
                                           const OverlaySettings& settings);

// Dispatches this thread's messages until done() holds; false if it still does not after a
// generous limit (a hang guard, not a timing check). Counts the WM_QUIT messages it takes.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(30));
// Dispatches this thread's messages for a while.
void PumpFor(std::chrono::milliseconds duration);
int QuitMessagesSeen();

// The window's rectangle relative to its parent's top-left corner.
RECT RectInParent(HWND window, HWND parent);

// Kills the process with a message if not disarmed in time: a hang fails the test clearly
// instead of waiting for the test runner's limit.
class Watchdog {
public:
    explicit Watchdog(const char* what, std::chrono::seconds limit = std::chrono::seconds(60));
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    struct State;
    std::shared_ptr<State> state;
    std::thread thread;
};

}  // namespace overlay_test
