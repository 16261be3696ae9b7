#pragma once

#include <windows.h>

// Private messages of the overlay window. The stream side posts MSG_SHOW_LOGO (wParam 1 show,
// 0 hide); SetLogo posts MSG_LOGO_CHANGED; a resize sends MSG_RESET_DEVICE; every pass that
// needs the viewer's zoom (wParam POLL_ZOOM) or aspect (POLL_ASPECT) sends MSG_POLL_VIEW, so
// that the viewer is asked only on its own thread, which owns the window. It answers 1 when the
// value changed.
inline constexpr UINT MSG_RESET_DEVICE = 0x8000;
inline constexpr UINT MSG_LOGO_CHANGED = 0x8001;
inline constexpr UINT MSG_SHOW_LOGO = 0x8002;
inline constexpr UINT MSG_POLL_VIEW = 0x8003;
inline constexpr WPARAM POLL_ZOOM = 0;
inline constexpr WPARAM POLL_ASPECT = 1;
