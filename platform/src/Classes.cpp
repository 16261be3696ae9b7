// Window classes: registered per (name, instance), as application-local classes are on Windows.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "Text.h"
#include "UserState.h"

using namespace insigno::platform;

extern "C" ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
    if (!lpWndClass || !lpWndClass->lpfnWndProc || !lpWndClass->lpszClassName ||
        IS_INTRESOURCE(lpWndClass->lpszClassName) || lpWndClass->lpszClassName[0] == L'\0') {
        return 0;
    }
    UserState& state = User();
    Lock lock(state.mutex);
    auto key = std::make_pair(std::wstring(lpWndClass->lpszClassName), lpWndClass->hInstance);
    if (state.classes.count(key)) {
        return 0;
    }
    ATOM atom = state.nextAtom++;
    state.classes[key] = WindowClass{key.first, key.second, lpWndClass->lpfnWndProc, atom};
    return atom;
}

extern "C" BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
    if (!lpClassName) {
        return FALSE;
    }
    UserState& state = User();
    Lock lock(state.mutex);
    auto it = state.classes.end();
    for (auto c = state.classes.begin(); c != state.classes.end(); ++c) {
        bool named = IS_INTRESOURCE(lpClassName)
                         ? c->second.atom == reinterpret_cast<ULONG_PTR>(lpClassName)
                         : c->second.name == lpClassName;
        if (named && c->second.instance == hInstance) {
            it = c;
        }
    }
    if (it == state.classes.end()) {
        return FALSE;
    }
    // A class with windows still alive stays registered, as on Windows.
    bool used = std::any_of(state.windows.begin(), state.windows.end(), [&](const auto& entry) {
        return entry.second.className == it->second.name &&
               entry.second.classInstance == it->second.instance;
    });
    if (used) {
        return FALSE;
    }
    state.classes.erase(it);
    return TRUE;
}

extern "C" int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
    if (!lpClassName || nMaxCount <= 0) {
        return 0;
    }
    std::wstring name;
    {
        UserState& state = User();
        Lock lock(state.mutex);
        WindowRecord* window = FindWindow(state, hWnd);
        if (!window) {
            return 0;
        }
        name = window->className;
    }
    std::string ansi = WideToCp932(name);
    std::size_t length = std::min(ansi.size(), static_cast<std::size_t>(nMaxCount - 1));
    std::memcpy(lpClassName, ansi.data(), length);
    lpClassName[length] = '\0';
    return static_cast<int>(length);
}
