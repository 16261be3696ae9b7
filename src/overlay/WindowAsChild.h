#pragma once

#include <boost/function.hpp>

#include "Window.h"

// Ask the host for its zoom percentage / pan-and-scan aspect ratio (and full-screen state); true
// when something changed, and the new values are then stored through the references.
using ZoomQuery = boost::function<bool(int&)>;
using AspectQuery = boost::function<bool(int&, int&)>;

// What the settings decide about the overlay's size, place and display time.
struct OverlayLook {
    int32_t logoScale = 100;
    bool fixedScale = true;
    int32_t displaySeconds = -1;
    bool fixedPositionX = true;
    bool fixedPositionY = true;
    double positionX = 0;
    double positionY = 0;
    bool minusZeroX = false;
    bool minusZeroY = false;
};

// The overlay as a child of the host's video window, sized to the scaled logo and placed in the
// letter-boxed or pillar-boxed picture. Construction creates the window and the Direct3D device;
// it throws WindowException and leaves nothing behind when one of them fails.
class WindowAsChild : public Window {
public:
    WindowAsChild(HWND parent, ZoomQuery zoomQuery, AspectQuery aspectQuery,
                  const OverlayLook& look);
    ~WindowAsChild() override;

    void Create() override;
    void GetPresentParameters(D3DPRESENT_PARAMETERS& parameters) override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool Update() override;
    double GetScale() override;

    // Takes new settings at once: resized, placed and drawn anew.
    void Restyle(const OverlayLook& look);

protected:
    void ApplyLook(const OverlayLook& look);
    bool Place(bool changed);
    void Resize();
    // Removes what Create made so far: property, window, class.
    void DestroyWindowAndClass();

    HWND parent;
    int zoom = 0;
    bool fixedScale = true;
    int aspectX = 16;
    int aspectY = 9;
    bool fixedPositionX = true;
    bool fixedPositionY = true;
    double positionX = 0;
    double positionY = 0;
    bool fromRight = false;
    bool fromBottom = false;
    ZoomQuery zoomQuery;
    AspectQuery aspectQuery;

private:
    // A failed registration may be another window's class of the same name: never unregister it.
    bool classRegistered = false;
};
