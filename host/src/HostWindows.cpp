#include "insigno/host/HostWindows.h"

#include <stdexcept>

namespace insigno::host {
namespace {

const wchar_t* const MAIN_CLASS = L"InsignoHostMain";
const wchar_t* const PANEL_CLASS = L"InsignoHostPanel";
const wchar_t* const CONTAINER_CLASS = L"TVTest Video Container";
const wchar_t* const OTHER_VIDEO_CLASS = L"InsignoHostVideo";
const wchar_t* const CLASSES[] = {MAIN_CLASS, PANEL_CLASS, CONTAINER_CLASS, OTHER_VIDEO_CLASS};

LRESULT CALLBACK HostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

void Register(HINSTANCE instance, const wchar_t* name) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = name;
    if (!RegisterClassW(&windowClass)) {
        throw std::runtime_error("cannot register the viewer's window classes");
    }
}

HWND Make(HINSTANCE instance, const wchar_t* className, DWORD style, int width, int height,
          HWND parent) {
    HWND window = CreateWindowExW(0, className, nullptr, style | WS_VISIBLE, 0, 0, width, height,
                                  parent, nullptr, instance, nullptr);
    if (!window) throw std::runtime_error("cannot create the viewer's windows");
    return window;
}

struct Search {
    std::string className;
    HWND found = nullptr;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    if (search->className == name) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HostWindows::HostWindows(int containerWidth, int containerHeight, bool withContainer)
    : width(containerWidth),
      height(containerHeight),
      videoContainer(withContainer),
      instance(GetModuleHandleW(nullptr)) {
    for (const wchar_t* name : CLASSES) Register(instance, name);
    try {
        main = Make(instance, MAIN_CLASS, WS_POPUP, width, height, nullptr);
        panel = Make(instance, PANEL_CLASS, WS_CHILD, width, height, main);
        video = Make(instance, withContainer ? CONTAINER_CLASS : OTHER_VIDEO_CLASS, WS_CHILD, width,
                     height, panel);
    } catch (...) {
        if (main) DestroyWindow(main);
        for (const wchar_t* name : CLASSES) UnregisterClassW(name, instance);
        throw;
    }
}

HostWindows::~HostWindows() {
    DestroyWindow(main);  // destroys the panel and the video window with it
    for (const wchar_t* name : CLASSES) UnregisterClassW(name, instance);
}

HWND HostWindows::FindDescendant(HWND parent, const std::string& className) {
    Search search{className};
    EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND HostWindows::FindOverlay() const {
    return FindDescendant(video, "LogoMarkClass");
}

OverlayInfo HostWindows::Overlay() const {
    OverlayInfo info;
    HWND overlay = FindOverlay();
    if (!overlay) return info;
    info.exists = true;
    info.visible = IsWindowVisible(overlay) != FALSE;
    RECT outer{}, inner{};
    GetWindowRect(video, &outer);
    GetWindowRect(overlay, &inner);
    info.x = inner.left - outer.left;
    info.y = inner.top - outer.top;
    info.width = inner.right - inner.left;
    info.height = inner.bottom - inner.top;
    return info;
}

}  // namespace insigno::host
