#pragma once

#include <functional>

#include "WindowAsChild.h"

// Hands the overlay window's thread, the viewer's UI thread, the request to ask the viewer for
// its logo. Clear of the overlay's own messages.
inline constexpr UINT MSG_ASK_VIEWER = WM_APP + 0x100;

// The overlay window as the plug-in opens it: it also takes MSG_ASK_VIEWER.
class PluginOverlay final : public WindowAsChild {
public:
    using WindowAsChild::WindowAsChild;

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Run for each MSG_ASK_VIEWER; set before the window's thread dispatches a message.
    std::function<void()> askViewer;
};
