#include "TestWindows.h"

namespace {

const char MAIN_CLASS[] = "InsignoTestMain";
const char FRAME_CLASS[] = "InsignoTestFrame";

void Register(const char* name) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);  // a second registration of the same name fails harmlessly
}

}  // namespace

TestWindows::TestWindows(const char* containerClass, int width, int height) {
    Register(MAIN_CLASS);
    Register(FRAME_CLASS);
    Register(containerClass);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    main = CreateWindowExA(0, MAIN_CLASS, "Viewer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           width, height, nullptr, nullptr, instance, nullptr);
    frame = CreateWindowExA(0, FRAME_CLASS, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                            main, nullptr, instance, nullptr);
    container = CreateWindowExA(0, containerClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, width,
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
