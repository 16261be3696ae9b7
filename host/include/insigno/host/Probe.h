#pragma once

// What the viewer stand-in can observe beyond the protocol: the message boxes the plug-in shows
// and the image its overlay presented. Natively both come from the Win32 stand-in's test hooks;
// on Windows the module's MessageBoxA/MessageBoxW imports are redirected to a recorder (a real
// message box would wait for a click), and under Wine the presented image is read back from the
// overlay's X window.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace insigno::host {

struct MessageBoxRecord {
    bool wide = false;    // MessageBoxW; else MessageBoxA
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
    unsigned type = 0;    // MB_* flags
    bool owner = false;   // an owner window was given
};

// Starts recording the message boxes that `module` shows (on Windows by patching its import
// table; natively the stand-in records every message box of the process). False when that is
// not possible.
bool RecordMessageBoxes(HMODULE module);
// Message boxes shown since the last call.
std::vector<MessageBoxRecord> TakeMessageBoxes();

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, row by row, top row first
};

// The last image presented into `window` by a Direct3D device, if the platform can tell.
std::optional<Image> PresentedImage(HWND window);
// Calls that Direct3D 9 allows only on the thread handling the device window's messages
// (CreateDevice, Reset, TestCooperativeLevel, a device's final Release) made on another thread:
// counted by the stand-in natively; 0 on Windows, which cannot tell.
std::int64_t DeviceCallsOffTheirThread();
// How many presents reached `window` so far; -1 where the platform cannot tell (Windows).
std::int64_t PresentCount(HWND window);

}  // namespace insigno::host
