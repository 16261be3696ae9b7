// The view-state polls the overlay calls from its window's timer, on the UI thread.

#include <atomic>
#include <utility>

#include "LogoPlugin.h"

using namespace TVTest;

namespace {

// Process-wide, as the viewer's full-screen state is; only the UI thread polls it.
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
    const std::pair<int, int> aspect = PictureAspect();
    if (aspect.first != x || aspect.second != y) {
        x = aspect.first;
        y = aspect.second;
        lastFullScreen.store(Send(owner, HOST_MSG_GET_FULLSCREEN) != 0);
        return true;
    }
    const bool fullScreen = Send(owner, HOST_MSG_GET_FULLSCREEN) != 0;
    return lastFullScreen.exchange(fullScreen) != fullScreen;
}

std::pair<int, int> StreamCallbackManager::PictureAspect() const {
    // Message 20 is the viewer's pan-and-scan setting; where it knows none, the video's own
    // display aspect (message 24) tells the picture's shape, so that a 4:3 picture gets its logo
    // inside the picture rather than over the side bars.
    AspectRecord record{};
    record.size = ASPECT_RECORD_SIZE;
    if (Send(owner, HOST_MSG_GET_ASPECT, reinterpret_cast<LPARAM>(&record)) &&
        (record.aspectX != 0 || record.aspectY != 0)) {
        return {record.aspectX != 0 ? record.aspectX : 16,
                record.aspectY != 0 ? record.aspectY : 9};
    }
    VideoInfoRecord video{};
    video.size = VIDEO_INFO_RECORD_SIZE;
    if (Send(owner, HOST_MSG_GET_VIDEO_INFO, reinterpret_cast<LPARAM>(&video)) &&
        video.aspectX > 0 && video.aspectY > 0) {
        return {video.aspectX, video.aspectY};
    }
    return {16, 9};
}
