#pragma once

#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>

#include <atomic>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>
#include <cstdint>

#include "ComRef.h"
#include "LogoRecord.h"
#include "OverlayMessages.h"
#include "WindowException.h"

// The overlay window: a window of its own class, a Direct3D device drawing the current logo as a
// sprite, and a render thread that redraws while the window is visible. The window belongs to the
// thread that constructs the object; every message is handled there.
class Window {
public:
    Window(int32_t logoScale, int32_t displaySeconds);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual void Create() = 0;
    virtual void GetPresentParameters(D3DPRESENT_PARAMETERS& parameters);
    virtual int Run();
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void Update() = 0;
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

    void InitDirect3D();
    void CreateDevice();
    bool ResetDevice();
    void ReloadTexture();
    void Render();

    // Takes passMutex on the window's own thread without ever blocking its sent messages.
    void LockPassOnWindowThread();
    // Stops and joins the render thread while still answering what it sends this thread.
    void StopRenderThread();

    HINSTANCE instance;
    ComRef<IDirect3D9> direct3d;
    ComRef<IDirect3DDevice9> device;
    ComRef<ID3DXSprite> sprite;
    ComRef<IDirect3DTexture9> texture;
    boost::thread renderThread;
    // Ends the render loop at its next turn. A flag, not Boost's interruption: the exception that
    // interruption throws makes the statically linked runtime create lock semaphores that are
    // never freed when the module unloads, so every load-unload cycle would keep two handles.
    std::atomic<bool> stopRequested{false};
    boost::mutex logoMutex;
    LogoRecord pendingLogo;
    int32_t textureWidth = 0;
    int32_t textureHeight = 0;
    int32_t logoScale;
    int32_t windowWidth = 160;
    int32_t windowHeight = 120;
    int32_t displaySeconds;
    // The window's thread only.
    enum class Forced : uint8_t { None, Hidden, Shown };
    Forced forced = Forced::None;
    bool logoCurrent = false;  // the stream side has shown the current service's logo
    bool held = false;

    // Serialises the update-and-draw passes of the render thread against the texture rebuild on
    // the window's thread: the device, sprite, texture, sizes, position and the two host queries
    // (with the process-wide full-screen flag behind them) are used only under it. Taken before
    // logoMutex. A pass that resizes holds it while it waits in SendMessageW for the window's
    // thread, so that thread never blocks on it: it takes it in LockPassOnWindowThread, and
    // handles MSG_RESET_DEVICE without it, on behalf of the waiting pass.
    boost::timed_mutex passMutex;
};

inline constexpr wchar_t kWindowClassName[] = L"LogoMarkClass";
inline constexpr wchar_t kWindowPropertyName[] = L"PropClassWindowProc";
