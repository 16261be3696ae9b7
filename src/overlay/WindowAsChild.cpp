#include "WindowAsChild.h"

#include <boost/thread/lock_guard.hpp>
#include <utility>

#include "Placement.h"

WindowAsChild::WindowAsChild(int32_t scale, bool fixed, HWND parentWindow, ZoomQuery zoomPoll,
                             AspectQuery aspectPoll, int32_t seconds, bool fixedX, bool fixedY,
                             double x, double y, bool minusZeroX, bool minusZeroY)
    : Window(scale, seconds),
      parent(parentWindow),
      zoom(fixed ? 100 : 0),
      fixedScale(fixed),
      fixedPositionX(fixedX),
      fixedPositionY(fixedY),
      positionX(x),
      positionY(y),
      fromRight(insigno::MeasuresFromFarEdge(x, minusZeroX)),
      fromBottom(insigno::MeasuresFromFarEdge(y, minusZeroY)),
      zoomQuery(std::move(zoomPoll)),
      aspectQuery(std::move(aspectPoll)) {
    try {
        Create();
        InitDirect3D();
        // Virtual: the thread runs WindowAsChild::Run.
        renderThread = boost::thread(&Window::Run, this);
    } catch (...) {
        // The destructor will not run: leave no window whose property names a dead object.
        DestroyWindowAndClass();
        throw;
    }
}

WindowAsChild::~WindowAsChild() {
    StopRenderThread();
    DestroyWindowAndClass();
}

void WindowAsChild::DestroyWindowAndClass() {
    if (hwnd) {
        // Without the property, the WM_DESTROY that follows goes to DefWindowProcW and posts no
        // quit message to the host's thread.
        RemovePropW(hwnd, kWindowPropertyName);
        DestroyWindow(hwnd);
    }
    if (classRegistered) UnregisterClassW(kWindowClassName, instance);
    classRegistered = false;
}

void WindowAsChild::Create() {
    WNDCLASSW windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    // IDI_ and IDC_ names follow the UNICODE setting; the W functions take them as wide names.
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kWindowClassName;
    if (!RegisterClassW(&windowClass)) throw WindowException(1);
    classRegistered = true;

    hwnd = CreateWindowExW(0, kWindowClassName, nullptr, WS_CHILD, CW_USEDEFAULT, CW_USEDEFAULT,
                           windowWidth, windowHeight, parent, nullptr, instance, nullptr);
    if (!hwnd) throw WindowException(2);
    SetPropW(hwnd, kWindowPropertyName, static_cast<Window*>(this));
}

void WindowAsChild::GetPresentParameters(D3DPRESENT_PARAMETERS& parameters) {
    Window::GetPresentParameters(parameters);
    parameters.hDeviceWindow = hwnd;
}

int WindowAsChild::Run() {
    try {
        return Window::Run();
    } catch (const boost::thread_interrupted&) {
        return 0;
    }
}

LRESULT WindowAsChild::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Mouse input falls through to the video window below.
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    // Sent by a pass that holds passMutex (on the render thread, which waits in SendMessageW, or
    // on this one): the queries run on its behalf, without taking the lock again.
    if (message == MSG_POLL_VIEW) {
        const bool changed = wParam == POLL_ZOOM ? zoomQuery(zoom) : aspectQuery(aspectX, aspectY);
        return changed ? 1 : 0;
    }
    return Window::HandleMessage(window, message, wParam, lParam);
}

double WindowAsChild::GetScale() {
    return insigno::LogoScaleFactor(fixedScale, logoScale, zoom);
}

bool WindowAsChild::PollZoom() {
    return SendMessageW(hwnd, MSG_POLL_VIEW, POLL_ZOOM, 0) != 0;
}

bool WindowAsChild::PollAspect() {
    return SendMessageW(hwnd, MSG_POLL_VIEW, POLL_ASPECT, 0) != 0;
}

// Runs inside a pass that holds passMutex, on the render thread or, after a texture rebuild, on
// the window's thread. The host queries themselves always run on the window's thread, the
// viewer's, which is the only one allowed to call it; the lock keeps them one at a time.
void WindowAsChild::Update() {
    if (!fixedScale) {
        // A new logo may differ in size (another type) while the zoom stays.
        const bool zoomChanged = PollZoom();
        const insigno::WindowSize size =
            insigno::ScaledSize(GetScale(), textureWidth, textureHeight);
        if (zoomChanged || windowWidth != size.width || windowHeight != size.height) {
            Resize();
            Place(true);
        } else {
            Place(false);
        }
        return;
    }
    const insigno::WindowSize scaled = insigno::ScaledSize(GetScale(), textureWidth, textureHeight);
    if (windowWidth != scaled.width || windowHeight != scaled.height) {
        Resize();
        Place(true);
    } else {
        Place(PollZoom());
    }
}

void WindowAsChild::Resize() {
    const insigno::WindowSize scaled = insigno::ScaledSize(GetScale(), textureWidth, textureHeight);
    windowWidth = scaled.width;
    windowHeight = scaled.height;
    SetWindowPos(hwnd, nullptr, 0, 0, windowWidth, windowHeight, SWP_NOMOVE | SWP_NOZORDER);
    // The back buffer takes the new client size only in a reset.
    SendMessageW(hwnd, MSG_RESET_DEVICE, 0, 0);
}

void WindowAsChild::Place(bool changed) {
    const bool aspectChanged = PollAspect();
    if (!aspectChanged && !changed) return;
    RECT client{};
    GetClientRect(parent, &client);
    const insigno::Picture picture = insigno::FitPicture(
        static_cast<int>(client.right), static_cast<int>(client.bottom), aspectX, aspectY);
    const insigno::WindowPosition position = insigno::PlaceLogo(
        picture, {windowWidth, windowHeight}, {fixedPositionX, positionX, fromRight},
        {fixedPositionY, positionY, fromBottom});
    SetWindowPos(hwnd, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
