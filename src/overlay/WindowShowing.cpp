// When the overlay is shown: the stream side's requests, the display timer, the user's commands
// and the settings dialog's hold.
#include "DisplayTimer.h"
#include "Window.h"

void Window::Hide() {
    KillTimer(hwnd, DISPLAY_TIMER);
    KillTimer(hwnd, POLL_TIMER);
    ShowWindow(hwnd, SW_HIDE);
}

void Window::ShowFor(int32_t seconds) {
    if (seconds == 0) {
        Hide();
        return;
    }
    const bool wasVisible = IsWindowVisible(hwnd) != FALSE;
    ShowWindow(hwnd, SW_SHOW);
    // Re-arming the same id replaces a running timer: the logo stays `seconds` after the last
    // show request.
    if (seconds == -1)
        KillTimer(hwnd, DISPLAY_TIMER);
    else
        SetTimer(hwnd, DISPLAY_TIMER, insigno::DisplayTimerPeriod(seconds), nullptr);
    if (wasVisible) return;
    // The viewer's picture may have changed while the logo was hidden: follow it before the first
    // picture, then at the poll's pace while shown.
    SetTimer(hwnd, POLL_TIMER, POLL_PERIOD_MS, nullptr);
    Update();
    Render();
}

void Window::OnShowRequest(bool show) {
    logoCurrent = show;
    if (!show) {
        Hide();
    } else if (held || forced == Forced::Shown) {
        ShowFor(-1);
    } else if (forced == Forced::None && displaySeconds != 0) {
        ShowFor(displaySeconds);
    }
}

void Window::ShowNow() {
    if (logoCurrent && !held && forced != Forced::Shown) ShowFor(displaySeconds);
}

void Window::ToggleShown() {
    forced = IsWindowVisible(hwnd) ? Forced::Hidden : Forced::Shown;
    if (forced == Forced::Hidden)
        Hide();
    else if (logoCurrent)
        ShowFor(-1);
}

void Window::HoldShown(bool hold) {
    held = hold;
    if (!logoCurrent) return;
    if (hold || forced == Forced::Shown) {
        ShowFor(-1);
    } else if (forced == Forced::Hidden) {
        Hide();
    } else {
        ShowFor(displaySeconds);
    }
}
