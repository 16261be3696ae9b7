#pragma once

// The viewer's window tree: a main window, a panel inside it and the video container inside the
// panel, so that the plug-in has to search descendants, not only children. All on the thread that
// constructs the object, which must then pump its messages.

#include <windows.h>

#include <string>

namespace insigno::host {

// The overlay as the viewer would see it: a child of the video container of class "LogoMarkClass".
struct OverlayInfo {
    bool exists = false;
    bool visible = false;
    int x = 0, y = 0, width = 0, height = 0;  // relative to the video container

    bool operator==(const OverlayInfo&) const = default;
};

class HostWindows {
public:
    // videoContainer false builds the same tree with a video window of another class.
    HostWindows(int width, int height, bool videoContainer);
    ~HostWindows();
    HostWindows(const HostWindows&) = delete;
    HostWindows& operator=(const HostWindows&) = delete;

    HWND Main() const { return main; }
    HWND Container() const { return videoContainer ? video : nullptr; }
    HWND Video() const { return video; }
    int Width() const { return width; }
    int Height() const { return height; }

    HWND FindOverlay() const;
    OverlayInfo Overlay() const;

    // First descendant of `parent` whose class name is `className`, or null.
    static HWND FindDescendant(HWND parent, const std::string& className);

private:
    int width;
    int height;
    bool videoContainer;
    HINSTANCE instance;
    HWND main = nullptr;
    HWND panel = nullptr;
    HWND video = nullptr;
};

}  // namespace insigno::host
