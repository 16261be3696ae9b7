#pragma once

#include <windows.h>

#include <d3d9.h>

#include <boost/thread/mutex.hpp>
#include <cstdint>

#include "ComRef.h"
#include "LogoRecord.h"
#include "OverlayMessages.h"
#include "WindowException.h"

// The overlay window: a window of its own class and a Direct3D device drawing the current logo as
// one textured quad. Everything but SetLogo runs on the thread that constructs the object, which
// owns the window and handles its messages: Direct3D 9 wants its device created, reset, tested
// and finally released there, and the viewer may be asked only there. The logo is drawn when the
// picture changes (a new logo, a resize, a move, a device reset, the window shown or painted),
// and a few times over the second after, never in a loop.
class Window {
public:
    Window(int32_t logoScale, int32_t displaySeconds);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual void Create() = 0;
    virtual void GetPresentParameters(D3DPRESENT_PARAMETERS& parameters);
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Re-sizes and re-places the window after asking the viewer; true when either changed.
    virtual bool Update() = 0;
    virtual double GetScale();
    virtual ~Window() = 0;

    // Hands over a logo from the stream thread; the texture is built later on the window's thread.
    void SetLogo(const LogoRecord& logo);

    // The user's commands, on the window's thread. ShowNow shows the current logo for the
    // display time. ToggleShown hides it, or shows it without a time limit, and the choice holds
    // for every logo that follows until the next toggle.
    void ShowNow();
    void ToggleShown();
    // While the settings dialog is open the current logo stays shown; at its end the display
    // time starts anew.
    void HoldShown(bool hold);

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    HWND hwnd = nullptr;

protected:
    // What MSG_SHOW_LOGO asks: show the logo of the current service, or hide it.
    void OnShowRequest(bool show);
    // Shows the window for `seconds` (-1: without a limit; 0: hides it).
    void ShowFor(int32_t seconds);
    void Hide();
    // One tick of the view poll: follows the viewer's zoom and picture, retries a lost device.
    void Poll();

    void InitDirect3D();
    void CreateDevice();
    bool ResetDevice();
    void ReloadTexture();
    // Draws and presents the logo when the window is visible: Render for a change, Redraw for
    // the polls' few repeats after it.
    void Render();
    void Redraw();
    void DrawLogo();

    HINSTANCE instance;
    ComRef<IDirect3D9> direct3d;
    ComRef<IDirect3DDevice9> device;
    ComRef<IDirect3DTexture9> texture;
    boost::mutex logoMutex;
    LogoRecord pendingLogo;
    int32_t textureWidth = 0;
    int32_t textureHeight = 0;
    int32_t logoScale;
    int32_t windowWidth = 160;
    int32_t windowHeight = 120;
    int32_t displaySeconds;
    enum class Forced : uint8_t { None, Hidden, Shown };
    Forced forced = Forced::None;
    bool logoCurrent = false;  // the stream side has shown the current service's logo
    bool held = false;
    // A present found the device lost and no reset has succeeded since.
    bool deviceLost = false;
    uint32_t pollsSinceDraw = 0;
};

inline constexpr wchar_t kWindowClassName[] = L"LogoMarkClass";
inline constexpr wchar_t kWindowPropertyName[] = L"PropClassWindowProc";
