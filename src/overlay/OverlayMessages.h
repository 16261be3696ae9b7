#pragma once

#include <windows.h>

// Private messages of the overlay window. The stream side posts MSG_SHOW_LOGO (wParam 1 show,
// 0 hide); SetLogo posts MSG_LOGO_CHANGED; a resize sends MSG_RESET_DEVICE.
inline constexpr UINT MSG_RESET_DEVICE = 0x8000;
inline constexpr UINT MSG_LOGO_CHANGED = 0x8001;
inline constexpr UINT MSG_SHOW_LOGO = 0x8002;
