#include "Window.h"

#include <boost/chrono/duration.hpp>
#include <boost/thread/lock_guard.hpp>

Window::Window(int32_t scale, int32_t seconds)
    : instance(GetModuleHandleW(nullptr)), logoScale(scale), displaySeconds(seconds) {}

// The pending logo, the mutexes and the joined thread go with the members; the Direct3D objects
// follow in reverse order of creation, as they are declared in creation order.
Window::~Window() = default;

void Window::SetLogo(const LogoRecord& logo) {
    {
        boost::lock_guard<boost::mutex> lock(logoMutex);
        pendingLogo = logo;
    }
    PostMessageW(hwnd, MSG_LOGO_CHANGED, 0, 0);
}

LRESULT CALLBACK Window::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Before SetPropW and after RemovePropW the window has no owner object.
    if (auto* owner = static_cast<Window*>(GetPropW(window, kWindowPropertyName))) {
        // An exception must not unwind through the viewer's message loop; the message then has
        // no effect (each handler leaves the window usable).
        try {
            return owner->HandleMessage(window, message, wParam, lParam);
        } catch (...) {
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            RemovePropW(window, kWindowPropertyName);
            PostQuitMessage(0);
            return 0;
        case WM_TIMER:
            Hide();
            return 0;
        case MSG_RESET_DEVICE:
            // Only Update's resize sends this, from inside a pass that holds passMutex: either on
            // this thread, or on the render thread, which waits in SendMessageW until we return.
            // The reset runs on behalf of that pass, so it must not take passMutex again.
            return ResetDevice() ? 1 : 0;
        case MSG_LOGO_CHANGED:
            ReloadTexture();
            return 0;
        case MSG_SHOW_LOGO:
            OnShowRequest(wParam != 0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

int Window::Run() {
    MSG message{};
    while (message.message != WM_QUIT) {
        if (stopRequested.load()) return 0;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        } else if (IsWindowVisible(hwnd)) {
            boost::lock_guard<boost::timed_mutex> pass(passMutex);
            Update();
            Render();
        }
        boost::this_thread::sleep_for(boost::chrono::milliseconds(1));
    }
    return static_cast<int>(message.wParam);
}

double Window::GetScale() {
    return logoScale / 100.0;
}

void Window::LockPassOnWindowThread() {
    // The render thread may hold passMutex while it waits in SendMessageW for this thread to reset
    // the device after a resize; blocking on the lock here would wait for it forever. Between
    // short tries, PeekMessageW delivers the messages sent to this thread and leaves posted ones
    // queued.
    while (!passMutex.try_lock_for(boost::chrono::milliseconds(1))) {
        MSG sent;
        PeekMessageW(&sent, nullptr, 0, 0, PM_NOREMOVE);
    }
}

void Window::StopRenderThread() {
    if (!renderThread.joinable()) return;
    stopRequested.store(true);
    // A resize made just before may hold the render thread in SendMessageW, waiting for this
    // thread: keep delivering sent messages until it comes round to the flag.
    while (!renderThread.try_join_for(boost::chrono::milliseconds(1))) {
        MSG sent;
        PeekMessageW(&sent, nullptr, 0, 0, PM_NOREMOVE);
    }
}
