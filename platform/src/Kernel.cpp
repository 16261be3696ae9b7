// Time and threads.
#include <windows.h>

#include <chrono>
#include <thread>

#include "UserState.h"

extern "C" VOID WINAPI Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

extern "C" DWORD WINAPI GetTickCount() {
    auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    // Wraps around after 49.7 days, as on Windows.
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

extern "C" DWORD WINAPI GetCurrentThreadId() {
    return insigno::platform::CurrentThread();
}
