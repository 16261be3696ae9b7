#include "TestWindows.h"

namespace {

const wchar_t MAIN_CLASS[] = L"InsignoTestMain";
const wchar_t FRAME_CLASS[] = L"InsignoTestFrame";

void Register(const wchar_t* name) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);  // a second registration of the same name fails harmlessly
}

}  // namespace

TestWindows::TestWindows(const wchar_t* containerClass, int width, int height) {
    Register(MAIN_CLASS);
    Register(FRAME_CLASS);
    Register(containerClass);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    main = CreateWindowExW(0, MAIN_CLASS, L"Viewer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width,
                           height, nullptr, nullptr, instance, nullptr);
    frame = CreateWindowExW(0, FRAME_CLASS, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                            main, nullptr, instance, nullptr);
    container = CreateWindowExW(0, containerClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, width,
                                height, frame, nullptr, instance, nullptr);
}

TestWindows::~TestWindows() {
    if (main) DestroyWindow(main);
    PumpMessages();
}

void PumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}
