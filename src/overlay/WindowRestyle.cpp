#include <boost/thread/lock_guard.hpp>

#include "Placement.h"
#include "WindowAsChild.h"

void WindowAsChild::Restyle(const OverlayLook& look) {
    LockPassOnWindowThread();
    boost::lock_guard<boost::timed_mutex> pass(passMutex, boost::adopt_lock);
    logoScale = look.logoScale;
    displaySeconds = look.displaySeconds;
    if (fixedScale != look.fixedScale) {
        fixedScale = look.fixedScale;
        // Following the zoom again: the next poll must report the viewer's zoom as a change.
        zoom = fixedScale ? 100 : 0;
    }
    fixedPositionX = look.fixedPositionX;
    fixedPositionY = look.fixedPositionY;
    positionX = look.positionX;
    positionY = look.positionY;
    fromRight = insigno::MeasuresFromFarEdge(look.positionX, look.minusZeroX);
    fromBottom = insigno::MeasuresFromFarEdge(look.positionY, look.minusZeroY);
    if (!fixedScale) PollZoom();
    Resize();
    Place(true);
}
