// Test hooks of the Linux stand-in for Win32 and Direct3D 9 (native builds only). They let tests
// and the viewer stand-in see what a person would see on Windows (message boxes, the presented
// picture) and provoke what the system does rarely (failed device creation, a lost device).
#pragma once

#include <d3d9.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct InsignoPlatform_MessageBox {
    std::string api;      // "MessageBoxA" or "MessageBoxW"
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
    HWND owner;
    UINT type;
};

// A picture in 32-bit ARGB (0xAARRGGBB), rows top to bottom.
struct InsignoPlatform_Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct InsignoPlatform_DeviceInfo {
    D3DDEVTYPE type;
    DWORD behaviorFlags;
    UINT backBufferWidth;
    UINT backBufferHeight;
    unsigned resets;  // successful Reset calls
};

// Forgets every window, class, queued message, timer, message box, presented picture and hook
// setting. Direct3D objects still referenced stay alive until released.
void InsignoPlatform_Reset();

std::vector<InsignoPlatform_MessageBox> InsignoPlatform_MessageBoxes();
void InsignoPlatform_ClearMessageBoxes();

bool InsignoPlatform_IsClassRegistered(LPCWSTR className);
std::size_t InsignoPlatform_RegisteredClassCount();
std::size_t InsignoPlatform_WindowCount();

// Direct3DCreate9 returns null while set.
void InsignoPlatform_FailDirect3DCreate9(bool fail);
// Every later CreateDevice with this device type and vertex-processing flag fails.
void InsignoPlatform_FailDeviceCreation(D3DDEVTYPE type, DWORD vertexProcessingFlag);

// The device presenting to `window` (its device window, else its focus window).
std::optional<InsignoPlatform_DeviceInfo> InsignoPlatform_Device(HWND window);
// Puts that device into the lost state: Present and TestCooperativeLevel report
// D3DERR_DEVICELOST until InsignoPlatform_AllowDeviceReset, then TestCooperativeLevel reports
// D3DERR_DEVICENOTRESET until a Reset succeeds. False when no device presents to the window.
bool InsignoPlatform_LoseDevice(HWND window);
bool InsignoPlatform_AllowDeviceReset(HWND window);

// The last picture presented to `window`, and how many presents reached it.
std::optional<InsignoPlatform_Image> InsignoPlatform_PresentedImage(HWND window);
unsigned InsignoPlatform_PresentCount(HWND window);

// The texels of a texture made by CreateTexture.
InsignoPlatform_Image InsignoPlatform_TextureImage(IDirect3DTexture9* texture);
// Direct3D objects (IDirect3D9, devices, textures) not yet released.
std::size_t InsignoPlatform_LiveD3DObjects();
// Calls that Direct3D 9 allows only on the thread that handles the device window's messages
// (CreateDevice, Reset, TestCooperativeLevel, a device's final Release) made on another thread
// since the last InsignoPlatform_Reset.
std::size_t InsignoPlatform_OffThreadDeviceCalls();
// Bitmaps made by CreateDIBSection and not yet deleted.
std::size_t InsignoPlatform_LiveBitmaps();
