#include "OverlayHarness.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace overlay_test {
namespace {

constexpr wchar_t kParentClass[] = L"InsignoOverlayTestParent";
int quitMessages = 0;

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

}  // namespace

ZoomQuery FakeHost::Zoom() {
    return [this](int& held) {
        ++zoomPolls;
        if (std::this_thread::get_id() != viewerThread) ++offThreadPolls;
        int answer = zoom.load();
        if (zoomKeepsChanging) answer = held == 100 ? 200 : 100;
        if (answer == 0 || answer == held) return false;
        held = answer;
        return true;
    };
}

AspectQuery FakeHost::Aspect() {
    return [this](int& x, int& y) {
        ++aspectPolls;
        if (std::this_thread::get_id() != viewerThread) ++offThreadPolls;
        const int ax = aspectX.load();
        const int ay = aspectY.load();
        if (ax == x && ay == y) return false;
        x = ax;
        y = ay;
        return true;
    };
}

ParentWindow::ParentWindow(int width, int height) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kParentClass;
    RegisterClassW(&windowClass);  // stays registered for the process
    // A popup has no frame, so its client area starts at its window rectangle.
    hwnd = CreateWindowExW(0, kParentClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                           nullptr, nullptr, instance, nullptr);
}

ParentWindow::~ParentWindow() {
    if (hwnd) DestroyWindow(hwnd);
}

int ParentWindow::ChildCount() const {
    int count = 0;
    EnumChildWindows(hwnd, CountChild, reinterpret_cast<LPARAM>(&count));
    return count;
}

std::unique_ptr<WindowAsChild> MakeOverlay(HWND parent, FakeHost& host, const OverlaySettings& s) {
    return std::make_unique<WindowAsChild>(parent, host.Zoom(), host.Aspect(), s);
}

namespace {

void DispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) ++quitMessages;
        DispatchMessageW(&message);
    }
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        DispatchPending();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void PumpFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    PumpUntil([&] { return std::chrono::steady_clock::now() >= end; }, duration * 2);
}

int QuitMessagesSeen() {
    return quitMessages;
}

RECT RectInParent(HWND window, HWND parent) {
    RECT child{};
    RECT outer{};
    GetWindowRect(window, &child);
    GetWindowRect(parent, &outer);
    return {child.left - outer.left, child.top - outer.top, child.right - outer.left,
            child.bottom - outer.top};
}

struct Watchdog::State {
    std::mutex mutex;
    std::condition_variable disarmed;
    bool done = false;
};

Watchdog::Watchdog(const char* what, std::chrono::seconds limit)
    : state(std::make_shared<State>()) {
    thread = std::thread([s = state, what, limit] {
        std::unique_lock<std::mutex> lock(s->mutex);
        if (!s->disarmed.wait_for(lock, limit, [&] { return s->done; })) {
            std::fprintf(stderr, "hang: %s did not finish\n", what);
            std::fflush(stderr);
            std::_Exit(3);
        }
    });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->done = true;
    }
    state->disarmed.notify_all();
    thread.join();
}

}  // namespace overlay_test
