// Window creation and destruction, the window tree and window properties.
#include <windows.h>

#include <algorithm>
#include <string_view>

#include "UserState.h"

using namespace insigno::platform;

namespace {

// Default size of a top-level window created with CW_USEDEFAULT.
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

const WindowClass* FindClass(const UserState& state, LPCWSTR name, HINSTANCE instance) {
    const WindowClass* any = nullptr;
    for (const auto& [key, windowClass] : state.classes) {
        bool named = IS_INTRESOURCE(name) ? windowClass.atom == reinterpret_cast<ULONG_PTR>(name)
                                          : windowClass.name == name;
        if (!named) {
            continue;
        }
        if (windowClass.instance == instance) {
            return &windowClass;
        }
        any = &windowClass;
    }
    return any;
}

}  // namespace

extern "C" HWND WINAPI CreateWindowExW(DWORD /*dwExStyle*/, LPCWSTR lpClassName,
                                       LPCWSTR /*lpWindowName*/, DWORD dwStyle, int X, int Y,
                                       int nWidth, int nHeight, HWND hWndParent, HMENU /*hMenu*/,
                                       HINSTANCE hInstance, LPVOID /*lpParam*/) {
    if (!lpClassName) {
        return nullptr;
    }
    UserState& state = User();
    Lock lock(state.mutex);
    const WindowClass* windowClass = FindClass(state, lpClassName, hInstance);
    if (!windowClass) {
        return nullptr;
    }
    bool child = (dwStyle & WS_CHILD) != 0;
    WindowRecord* parent = child ? FindWindow(state, hWndParent) : nullptr;
    if (child && (!parent || parent->destroying)) {
        return nullptr;
    }
    // CW_USEDEFAULT places a child at 0, 0 with size 0 x 0 unless a size is given.
    if (X == CW_USEDEFAULT) {
        X = 0;
        Y = 0;
    }
    if (nWidth == CW_USEDEFAULT) {
        nWidth = child ? 0 : kDefaultWidth;
        nHeight = child ? 0 : kDefaultHeight;
    }
    nWidth = std::max(nWidth, 0);
    nHeight = std::max(nHeight, 0);

    HWND hwnd = reinterpret_cast<HWND>(state.nextHandle);
    state.nextHandle += 4;
    WindowRecord record{hwnd,
                        windowClass->name,
                        windowClass->instance,
                        windowClass->procedure,
                        child ? hWndParent : nullptr,
                        {},
                        CurrentThread(),
                        (dwStyle & WS_VISIBLE) != 0,
                        false,
                        RECT{X, Y, X + nWidth, Y + nHeight},
                        {}};
    CurrentQueue(state);
    state.windows.emplace(hwnd, std::move(record));
    auto& siblings = child ? parent->children : state.topLevel;
    siblings.insert(siblings.begin(), hwnd);
    return hwnd;
}

extern "C" BOOL WINAPI DestroyWindow(HWND hWnd) {
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    // Only the owning thread may destroy a window, as on Windows.
    if (!window || window->destroying || window->ownerThread != CurrentThread()) {
        return FALSE;
    }
    std::vector<HWND> tree;
    CollectDescendants(state, hWnd, tree);
    for (HWND hwnd : tree) {
        WindowRecord* each = FindWindow(state, hwnd);
        each->destroying = true;
        each->visible = false;
    }
    lock.unlock();
    // WM_DESTROY goes to the window first, then to its children; WM_NCDESTROY the other way.
    for (HWND hwnd : tree) {
        Send(hwnd, WM_DESTROY, 0, 0);
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        Send(*it, WM_NCDESTROY, 0, 0);
    }
    lock.lock();
    ForgetWindows(state, tree);
    return TRUE;
}

extern "C" BOOL WINAPI IsWindow(HWND hWnd) {
    UserState& state = User();
    Lock lock(state.mutex);
    return FindWindow(state, hWnd) != nullptr;
}

extern "C" HWND WINAPI GetParent(HWND hWnd) {
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    return window ? window->parent : nullptr;
}

extern "C" LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM /*wParam*/,
                                         LPARAM /*lParam*/) {
    switch (Msg) {
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        default:
            return 0;
    }
}

extern "C" BOOL WINAPI SetPropW(HWND hWnd, LPCWSTR lpString, HANDLE hData) {
    if (!lpString) {
        return FALSE;
    }
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    if (!window) {
        return FALSE;
    }
    window->properties[KeyOf(lpString)] = hData;
    return TRUE;
}

extern "C" HANDLE WINAPI GetPropW(HWND hWnd, LPCWSTR lpString) {
    if (!lpString) {
        return nullptr;
    }
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    if (!window) {
        return nullptr;
    }
    auto it = IS_INTRESOURCE(lpString) ? window->properties.find(KeyOf(lpString))
                                       : window->properties.find(std::wstring_view(lpString));
    return it == window->properties.end() ? nullptr : it->second;
}

extern "C" HANDLE WINAPI RemovePropW(HWND hWnd, LPCWSTR lpString) {
    if (!lpString) {
        return nullptr;
    }
    UserState& state = User();
    Lock lock(state.mutex);
    WindowRecord* window = FindWindow(state, hWnd);
    if (!window) {
        return nullptr;
    }
    auto it = window->properties.find(KeyOf(lpString));
    if (it == window->properties.end()) {
        return nullptr;
    }
    HANDLE data = it->second;
    window->properties.erase(it);
    return data;
}

extern "C" BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    if (!lpEnumFunc) {
        return FALSE;
    }
    std::vector<HWND> windows;
    {
        UserState& state = User();
        Lock lock(state.mutex);
        if (!hWndParent) {
            // As EnumWindows: the top-level windows only.
            windows = state.topLevel;
        } else {
            if (!FindWindow(state, hWndParent)) {
                return FALSE;
            }
            CollectDescendants(state, hWndParent, windows);
            windows.erase(windows.begin());
        }
    }
    for (HWND hwnd : windows) {
        // A window destroyed by an earlier callback is skipped.
        if (IsWindow(hwnd) && !lpEnumFunc(hwnd, lParam)) {
            break;
        }
    }
    return TRUE;
}
