#include "Window.h"

#include <boost/thread/lock_guard.hpp>

Window::Window(int32_t scale, int32_t seconds)
    : instance(GetModuleHandleW(nullptr)), logoScale(scale), displaySeconds(seconds) {}

// The pending logo and the mutex go with the members; the Direct3D objects follow in reverse
// order of creation, as they are declared in creation order. The destructor runs on the window's
// thread, so the device's final release does too.
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
            if (wParam == POLL_TIMER)
                Poll();
            else
                Hide();
            return 0;
        case WM_PAINT: {
            // Uncovered or shown: the system asks for the picture again.
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            Render();
            return 0;
        }
        case WM_ERASEBKGND:
            // The device paints every pixel; erasing first would flash the class's white brush.
            return 1;
        case MSG_RESET_DEVICE: {
            const bool usable = ResetDevice();
            if (usable) Render();
            return usable ? 1 : 0;
        }
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

void Window::Poll() {
    // A device lost meanwhile is reset here, at the poll's pace, once the system allows it.
    if (device->TestCooperativeLevel() != D3D_OK) deviceLost = true;
    const bool recovered = deviceLost && ResetDevice();
    if (Update() || recovered) {
        Render();
        return;
    }
    // Wine can lose a picture presented while it is still mapping a child window just shown or
    // resized, and sends no WM_PAINT for it. The picture is drawn again at the 1st, 2nd, 4th ...
    // 32nd poll after each draw (within about a second), then left alone.
    ++pollsSinceDraw;
    if (pollsSinceDraw <= 32 && (pollsSinceDraw & (pollsSinceDraw - 1)) == 0) Redraw();
}

double Window::GetScale() {
    return logoScale / 100.0;
}
