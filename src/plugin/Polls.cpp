// The view-state polls the overlay calls on its render thread and on the UI thread.

#include <atomic>

#include "LogoPlugin.h"

using namespace TVTest;

namespace {

// Process-wide, as the viewer's full-screen state is; the render and UI threads both poll.
std::atomic<bool> lastFullScreen{false};

LRESULT Send(const LogoPlugin* plugin, UINT message, LPARAM lParam1 = 0) {
    return plugin->app->SendHostMessage(message, lParam1, 0);
}

}  // namespace

bool StreamCallbackManager::PollZoom(int& zoom) const {
    const LRESULT v = Send(owner, HOST_MSG_GET_ZOOM);
    if (v == 0 || v == zoom) return false;
    zoom = static_cast<int>(v);
    return true;
}

bool StreamCallbackManager::PollAspect(int& x, int& y) const {
    AspectRecord record{};
    record.size = ASPECT_RECORD_SIZE;
    if (Send(owner, HOST_MSG_GET_ASPECT, reinterpret_cast<LPARAM>(&record))) {
        const int ax = record.aspectX != 0 ? record.aspectX : 16;
        const int ay = record.aspectY != 0 ? record.aspectY : 9;
        if (ax != x || ay != y) {
            x = ax;
            y = ay;
            lastFullScreen.store(Send(owner, HOST_MSG_GET_FULLSCREEN) != 0);
            return true;
        }
    }
    const bool fullScreen = Send(owner, HOST_MSG_GET_FULLSCREEN) != 0;
    // One atomic step, so two threads polling at once report one change once.
    return lastFullScreen.exchange(fullScreen) != fullScreen;
}
