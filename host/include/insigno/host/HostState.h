#pragma once

// The viewer's state behind a lock, and the answers to the plug-in's view-state requests
// (messages 4, 6, 9, 10, 18, 20, 29, 47). The plug-in asks from the UI thread and from its
// overlay's render thread while scenario steps change the state, hence the lock.

#include <windows.h>

#include <functional>
#include <mutex>

#include "insigno/host/ViewerState.h"

namespace insigno::host {

class HostState {
public:
    explicit HostState(ViewerState initial = {});

    void Change(const std::function<void(ViewerState&)>& change);
    ViewerState Get() const;

    // True when `message` is one of the view-state requests answered here.
    static bool Answers(UINT message);
    // The viewer's answer; records are filled only when their size field is the one the
    // protocol gives (a smaller buffer is never written past).
    LRESULT Answer(UINT message, LPARAM lParam1, LPARAM lParam2);

private:
    mutable std::mutex mutex;
    ViewerState state;
};

}  // namespace insigno::host
