// Forgetting all state between tests, one function per part.
#pragma once

#include <windows.h>

#include <vector>

namespace insigno::platform {

void ResetUserState();
void ClearMessageBoxRecords();
void ResetDirect3DState();
// The pictures presented to windows that are gone: a process that makes and destroys overlay
// windows for hours (a viewer reloading its plug-ins) would otherwise keep one per window.
void ForgetPresented(const std::vector<HWND>& windows);

}  // namespace insigno::platform
