#pragma once

// The real viewer's rules that a plug-in can break, checked by the stand-in: its message function
// may be called only on the viewer's thread (the one that calls the exports and delivers events),
// and a WM_QUIT posted to that thread ends the viewer. Each violation is reported as it is seen
// and makes the run fail. So does a Direct3D 9 call that only the device window's thread may
// make (creation, reset, the cooperative-level test, the final release) made on another one,
// which the platform counts where it can tell.

#include <windows.h>

#include <atomic>
#include <thread>

#include "insigno/host/Report.h"

namespace insigno::host {

class HostRules {
public:
    // The constructing thread is the viewer's thread.
    explicit HostRules(Report& report);

    // From the message function, on whatever thread the plug-in called it.
    void CheckThread(UINT message);
    // A WM_QUIT taken from the viewer thread's queue.
    void QuitReceived();

    bool OnViewerThread() const { return std::this_thread::get_id() == viewerThread; }
    int OffThreadMessages() const { return offThread.load(); }
    int QuitMessages() const { return quits.load(); }
    int OffThreadDeviceCalls() const;
    int Violations() const { return OffThreadMessages() + QuitMessages() + OffThreadDeviceCalls(); }

private:
    Report& report;
    const std::thread::id viewerThread;
    std::atomic<int> offThread{0};
    std::atomic<int> quits{0};
};

}  // namespace insigno::host
