#pragma once

#include "LogoRecord.h"

// What the stream side asks of the screen: show a logo, hide it, and have the viewer asked for
// its own logo of the target. Every call returns at once, from any thread, whatever the screen's
// threads are doing; the stream side calls under the manager's mutex.
class StreamSideDisplay {
public:
    virtual ~StreamSideDisplay() = default;

    // Shows `logo` for the display time, in place of what is shown.
    virtual void Show(const LogoRecord& logo) = 0;
    virtual void Hide() = 0;
    // The viewer's UI thread, the only one that may call the viewer, soon runs the manager's
    // AskViewerForLogo.
    virtual void AskViewerForLogo() = 0;
};
