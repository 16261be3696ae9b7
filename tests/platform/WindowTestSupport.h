// A window class whose procedure records every message it receives, for the platform tests.
#pragma once

#include <gtest/gtest.h>
#include <insigno/platform_test.h>
#include <windows.h>

#include <mutex>
#include <vector>

namespace insigno::platform::test {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    DWORD thread;
};

class Recorder {
public:
    static void Clear() {
        std::lock_guard lock(mutex);
        received.clear();
    }
    static std::vector<Received> All() {
        std::lock_guard lock(mutex);
        return received;
    }
    static std::vector<Received> Of(UINT message) {
        std::vector<Received> out;
        for (const Received& r : All()) {
            if (r.message == message) {
                out.push_back(r);
            }
        }
        return out;
    }
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        {
            std::lock_guard lock(mutex);
            received.push_back({hwnd, message, wParam, GetCurrentThreadId()});
        }
        // A sent WM_USER answers with its wParam doubled, to show that the result travels back.
        if (message == WM_USER) {
            return static_cast<LRESULT>(wParam * 2);
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

private:
    static inline std::mutex mutex;
    static inline std::vector<Received> received;
};

inline constexpr const wchar_t* kClass = L"PlatformTestClass";

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        InsignoPlatform_Reset();
        Recorder::Clear();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Recorder::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        ASSERT_NE(RegisterClassW(&windowClass), 0);
    }
    void TearDown() override { InsignoPlatform_Reset(); }

    static HWND Make(HWND parent = nullptr, DWORD style = 0, int x = 0, int y = 0, int width = 100,
                     int height = 50) {
        DWORD kind = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
        return CreateWindowExW(0, kClass, nullptr, kind | style, x, y, width, height, parent,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    }
};

}  // namespace insigno::platform::test
