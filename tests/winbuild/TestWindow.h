// A registered window class with a top-level window and a child window, destroyed and
// unregistered in the destructor. The procedure hands every message to a callable so that each
// test can watch what arrives.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class TestWindow {
public:
    using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

    TestWindow(int childWidth, int childHeight);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Top() const { return top; }
    HWND Child() const { return child; }
    void SetHandler(Handler h) { handler = std::move(h); }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::wstring className;
    HWND top = nullptr;
    HWND child = nullptr;
    Handler handler;
};
