#pragma once

#include <boost/function.hpp>

#include "Window.h"

// Ask the host for its zoom percentage / pan-and-scan aspect ratio (and full-screen state); true
// when something changed, and the new values are then stored through the references.
using ZoomQuery = boost::function<bool(int&)>;
using AspectQuery = boost::function<bool(int&, int&)>;

// What the settings decide about the overlay's size, place and display time.
struct OverlayLook {
    int32_t logoScale;
    bool fixedScale;
    int32_t displaySeconds;
    bool fixedPositionX;
    bool fixedPositionY;
    double positionX;
    double positionY;
    bool minusZeroX;
    bool minusZeroY;
};

// The overlay as a child of the host's video window, sized to the scaled logo and placed in the
// letter-boxed or pillar-boxed picture. Construction creates the window, the Direct3D device and
// the render thread; it throws WindowException and leaves nothing behind when one of them fails.
class WindowAsChild : public Window {
public:
    WindowAsChild(int32_t logoScale, bool fixedScale, HWND parent, ZoomQuery zoomQuery,
                  AspectQuery aspectQuery, int32_t displaySeconds, bool fixedPositionX,
                  bool fixedPositionY, double positionX, double positionY, bool minusZeroX,
                  bool minusZeroY);
    ~WindowAsChild() override;

    void Create() override;
    void GetPresentParameters(D3DPRESENT_PARAMETERS& parameters) override;
    int Run() override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Update() override;
    double GetScale() override;

    // Takes new settings at once: resized and placed anew (the window's thread).
    void Restyle(const OverlayLook& look);

protected:
    void Place(bool changed);
    // Ask the viewer on the window's thread, through MSG_POLL_VIEW; true when the value changed.
    bool PollZoom();
    bool PollAspect();
    void Resize();
    // Removes what Create made so far: property, window, class.
    void DestroyWindowAndClass();

    HWND parent;
    int zoom;
    bool fixedScale;
    int aspectX = 16;
    int aspectY = 9;
    bool fixedPositionX;
    bool fixedPositionY;
    double positionX;
    double positionY;
    bool fromRight;
    bool fromBottom;
    ZoomQuery zoomQuery;
    AspectQuery aspectQuery;

private:
    // A failed registration may be another window's class of the same name: never unregister it.
    bool classRegistered = false;
};
