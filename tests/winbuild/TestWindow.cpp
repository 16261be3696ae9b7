#include "TestWindow.h"

#include <stdexcept>

TestWindow::TestWindow(int childWidth, int childHeight)
    : className(L"InsignoWinbuildTest" + std::to_wstring(GetCurrentThreadId())) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TestWindow::Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className.c_str();
    if (RegisterClassW(&wc) == 0) {
        throw std::runtime_error("RegisterClassW failed");
    }
    top = CreateWindowExW(0, className.c_str(), L"top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                          480, nullptr, nullptr, wc.hInstance, this);
    if (top != nullptr) {
        SetWindowLongPtrW(top, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        child = CreateWindowExW(0, className.c_str(), L"child", WS_CHILD | WS_VISIBLE, 10, 10,
                                childWidth, childHeight, top, nullptr, wc.hInstance, nullptr);
    }
    if (child == nullptr) {
        if (top != nullptr) {
            DestroyWindow(top);
        }
        UnregisterClassW(className.c_str(), wc.hInstance);
        throw std::runtime_error("CreateWindowExW failed");
    }
    SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TestWindow::~TestWindow() {
    DestroyWindow(top);  // destroys the child too
    UnregisterClassW(className.c_str(), GetModuleHandleW(nullptr));
}

LRESULT CALLBACK TestWindow::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && self->handler) {
        return self->handler(hwnd, msg, wParam, lParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
