// Message boxes without a user interface: shown on stderr and recorded.
#include <windows.h>

#include <cstdio>
#include <mutex>
#include <string>

#include <insigno/platform_test.h>

#include "Resets.h"
#include "Text.h"

using namespace insigno::platform;

namespace {

std::mutex recordsMutex;
std::vector<InsignoPlatform_MessageBox>& Records() {
    static auto* records = new std::vector<InsignoPlatform_MessageBox>;
    return *records;
}

int Show(InsignoPlatform_MessageBox box) {
    std::fprintf(stderr, "%s [%s]: %s\n", box.api.c_str(), box.caption.c_str(), box.text.c_str());
    std::lock_guard lock(recordsMutex);
    Records().push_back(std::move(box));
    return IDOK;
}

}  // namespace

// Windows' caption when none is given.
constexpr const char* kDefaultCaption = "Error";

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    return Show({"MessageBoxA", lpCaption ? Cp932ToUtf8(lpCaption) : kDefaultCaption,
                 lpText ? Cp932ToUtf8(lpText) : "", hWnd, uType});
}

extern "C" int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    return Show({"MessageBoxW", lpCaption ? WideToUtf8(lpCaption) : kDefaultCaption,
                 lpText ? WideToUtf8(lpText) : "", hWnd, uType});
}

std::vector<InsignoPlatform_MessageBox> InsignoPlatform_MessageBoxes() {
    std::lock_guard lock(recordsMutex);
    return Records();
}

void InsignoPlatform_ClearMessageBoxes() {
    std::lock_guard lock(recordsMutex);
    Records().clear();
}

namespace insigno::platform {

void ClearMessageBoxRecords() {
    InsignoPlatform_ClearMessageBoxes();
}

}  // namespace insigno::platform
