#include "WindowAsChild.h"

#include <utility>

#include "Placement.h"

WindowAsChild::WindowAsChild(HWND parentWindow, ZoomQuery zoomPoll, AspectQuery aspectPoll,
                             const OverlayLook& look)
    : Window(look.logoScale, look.displaySeconds),
      parent(parentWindow),
      zoomQuery(std::move(zoomPoll)),
      aspectQuery(std::move(aspectPoll)) {
    ApplyLook(look);
    try {
        Create();
        InitDirect3D();
    } catch (...) {
        // The destructor will not run: leave no window whose property names a dead object.
        DestroyWindowAndClass();
        throw;
    }
}

WindowAsChild::~WindowAsChild() {
    DestroyWindowAndClass();
}

void WindowAsChild::ApplyLook(const OverlayLook& look) {
    logoScale = look.logoScale;
    displaySeconds = look.displaySeconds;
    // With a zoom-relative scale the held zoom starts at 0, which the query never reports, so the
    // first poll sizes the window; so does the first poll after a switch to following the zoom.
    if (fixedScale != look.fixedScale || zoom == 0) zoom = look.fixedScale ? 100 : 0;
    fixedScale = look.fixedScale;
    fixedPositionX = look.fixedPositionX;
    fixedPositionY = look.fixedPositionY;
    positionX = look.positionX;
    positionY = look.positionY;
    fromRight = insigno::MeasuresFromFarEdge(look.positionX, look.minusZeroX);
    fromBottom = insigno::MeasuresFromFarEdge(look.positionY, look.minusZeroY);
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
    if (!RegisterClassW(&windowClass)) throw WindowException(WINDOW_CLASS_NOT_REGISTERED);
    classRegistered = true;

    hwnd = CreateWindowExW(0, kWindowClassName, nullptr, WS_CHILD, CW_USEDEFAULT, CW_USEDEFAULT,
                           windowWidth, windowHeight, parent, nullptr, instance, nullptr);
    if (!hwnd) throw WindowException(WINDOW_NOT_CREATED);
    SetPropW(hwnd, kWindowPropertyName, static_cast<Window*>(this));
}

void WindowAsChild::GetPresentParameters(D3DPRESENT_PARAMETERS& parameters) {
    Window::GetPresentParameters(parameters);
    parameters.hDeviceWindow = hwnd;
}

LRESULT WindowAsChild::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Mouse input falls through to the video window below.
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    return Window::HandleMessage(window, message, wParam, lParam);
}

double WindowAsChild::GetScale() {
    return insigno::LogoScaleFactor(fixedScale, logoScale, zoom);
}

bool WindowAsChild::Update() {
    // The zoom is polled whatever the scale: with a fixed scale a zoom change still re-places the
    // logo. A new logo may differ in size (another type) while the zoom stays.
    const bool zoomChanged = zoomQuery(zoom);
    const insigno::WindowSize scaled = insigno::ScaledSize(GetScale(), textureWidth, textureHeight);
    if (windowWidth != scaled.width || windowHeight != scaled.height) {
        Resize();
        Place(true);
        return true;
    }
    return Place(zoomChanged);
}

void WindowAsChild::Resize() {
    const insigno::WindowSize scaled = insigno::ScaledSize(GetScale(), textureWidth, textureHeight);
    windowWidth = scaled.width;
    windowHeight = scaled.height;
    SetWindowPos(hwnd, nullptr, 0, 0, windowWidth, windowHeight, SWP_NOMOVE | SWP_NOZORDER);
    // The back buffer takes the new client size only in a reset.
    ResetDevice();
}

bool WindowAsChild::Place(bool changed) {
    const bool aspectChanged = aspectQuery(aspectX, aspectY);
    if (!aspectChanged && !changed) return false;
    RECT client{};
    GetClientRect(parent, &client);
    const insigno::Picture picture = insigno::FitPicture(
        static_cast<int>(client.right), static_cast<int>(client.bottom), aspectX, aspectY);
    const insigno::WindowPosition position = insigno::PlaceLogo(
        picture, {windowWidth, windowHeight}, {fixedPositionX, positionX, fromRight},
        {fixedPositionY, positionY, fromBottom});
    SetWindowPos(hwnd, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return true;
}

void WindowAsChild::Restyle(const OverlayLook& look) {
    ApplyLook(look);
    zoomQuery(zoom);
    Resize();
    Place(true);
    Render();
}
