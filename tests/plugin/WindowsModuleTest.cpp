// The module on Windows (under Wine in the win64 build): unloading it without TVTFinalize while
// the overlay's render thread runs. Joining that thread inside the module's DLL_PROCESS_DETACH
// would wait forever, as the thread cannot end while the loader lock is held.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ScriptedHost.h"
#include "TestWindows.h"

using namespace TVTest;

namespace {

std::wstring Directory(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// A private copy of the built module: it creates its logo directory beside itself.
std::wstring CopyOfModule() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring directory =
        std::wstring(temp) + L"insigno-module-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(directory.c_str(), nullptr);
    const std::wstring copy = directory + L"\\Insigno.tvtp";
    CopyFileW((Directory(exe) + L"Insigno.tvtp").c_str(), copy.c_str(), FALSE);
    return copy;
}

// A hang must fail the run instead of stalling it: the process ends with code 3 if the test
// has not finished by then.
class Watchdog {
public:
    Watchdog() {
        done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, &Watch, done, 0, nullptr);
    }
    ~Watchdog() {
        SetEvent(done);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(done);
    }

private:
    static DWORD WINAPI Watch(void* event) {
        if (WaitForSingleObject(static_cast<HANDLE>(event), 120000) == WAIT_TIMEOUT) {
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }
    HANDLE done;
    HANDLE thread;
};

TEST(WindowsModuleTest, UnloadWithoutFinalisationReturnsAndKeepsTheRunningModule) {
    Watchdog watchdog;
    ScriptedHost host;
    TestWindows windows;
    host.param.hostWindow = windows.main;
    const std::wstring path = CopyOfModule();
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    const auto initialize = reinterpret_cast<InitializeFunc>(
        reinterpret_cast<void*>(GetProcAddress(module, "TVTInitialize")));
    ASSERT_NE(initialize, nullptr);
    ASSERT_EQ(initialize(&host.param), TRUE);

    EXPECT_TRUE(FreeLibrary(module));
    // The render thread still runs in the module, so the module must still be mapped.
    HMODULE still = nullptr;
    EXPECT_TRUE(
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.c_str(), &still));
    EXPECT_EQ(still, module);
    // The process's end (which ends that thread first) follows when the test program exits.
}

}  // namespace
