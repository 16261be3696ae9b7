// Visibility, position and size of windows.
#include <windows.h>

#include <algorithm>

#include "UserState.h"

using namespace insigno::platform;

extern "C" BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    if (!window) {
        return FALSE;
    }
    bool wasVisible = window->visible;
    switch (nCmdShow) {
        case SW_HIDE:
            window->visible = false;
            break;
        case SW_SHOWNORMAL:
        case SW_SHOWNOACTIVATE:
        case SW_SHOW:
        case SW_SHOWNA:
            window->visible = !window->destroying;
            break;
        default:
            break;
    }
    return wasVisible ? TRUE : FALSE;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND hWnd) {
    UserState& state = User();
    Lock lock(state.mutex);
    for (WindowRecord* window = FindWindow(state, hWnd); window;
         window = FindWindow(state, window->parent)) {
        if (!window->visible) {
            return FALSE;
        }
        if (!window->parent) {
            return TRUE;
        }
    }
    return FALSE;
}

extern "C" BOOL WINAPI SetWindowPos(HWND hWnd, HWND /*hWndInsertAfter*/, int X, int Y, int cx,
                                    int cy, UINT uFlags) {
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    if (!window) {
        return FALSE;
    }
    RECT& rect = window->rect;
    LONG width = rect.right - rect.left;
    LONG height = rect.bottom - rect.top;
    if (!(uFlags & SWP_NOSIZE)) {
        width = std::max(cx, 0);
        height = std::max(cy, 0);
    }
    if (!(uFlags & SWP_NOMOVE)) {
        rect.left = X;
        rect.top = Y;
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    if (uFlags & SWP_SHOWWINDOW) {
        window->visible = !window->destroying;
    }
    if (uFlags & SWP_HIDEWINDOW) {
        window->visible = false;
    }
    return TRUE;
}

extern "C" BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    if (!window || !lpRect) {
        return FALSE;
    }
    *lpRect =
        RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return TRUE;
}

extern "C" BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    if (!window || !lpRect) {
        return FALSE;
    }
    RECT rect = window->rect;
    for (WindowRecord* parent = FindWindow(state, window->parent); parent;
         parent = FindWindow(state, parent->parent)) {
        rect.left += parent->rect.left;
        rect.top += parent->rect.top;
        rect.right += parent->rect.left;
        rect.bottom += parent->rect.top;
    }
    *lpRect = rect;
    return TRUE;
}
