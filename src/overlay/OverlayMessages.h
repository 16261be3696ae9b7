#pragma once

#include <windows.h>

// Private messages of the overlay window. The stream side posts MSG_SHOW_LOGO (wParam 1 show,
// 0 hide); SetLogo posts MSG_LOGO_CHANGED; MSG_RESET_DEVICE resets the device to the window's
// client size and answers 1 when the device is usable.
inline constexpr UINT MSG_RESET_DEVICE = 0x8000;
inline constexpr UINT MSG_LOGO_CHANGED = 0x8001;
inline constexpr UINT MSG_SHOW_LOGO = 0x8002;

// The window's timers: the display time (one-shot in effect), and the view poll that runs while
// the logo is shown.
inline constexpr UINT_PTR DISPLAY_TIMER = 0;
inline constexpr UINT_PTR POLL_TIMER = 1;
// About 30 polls a second: a zoom or a resize of the viewer's window is followed within a frame
// or two; a static logo costs a few host messages per poll and, after its first second, no drawing.
inline constexpr UINT POLL_PERIOD_MS = 33;
