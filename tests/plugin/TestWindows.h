#pragma once

#include <windows.h>

// A viewer-like window tree for tests: a visible main window holding a frame that holds the
// video container, so the plug-in has to search descendants, not only children.
struct TestWindows {
    // containerClass: the class name of the innermost window.
    explicit TestWindows(const wchar_t* containerClass = L"TVTest Video Container",
                         int width = 1280, int height = 720);
    ~TestWindows();
    TestWindows(const TestWindows&) = delete;
    TestWindows& operator=(const TestWindows&) = delete;

    HWND main = nullptr;
    HWND frame = nullptr;
    HWND container = nullptr;
};

// Dispatches everything queued for the calling thread.
void PumpMessages();
