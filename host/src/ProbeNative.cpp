// Natively the Win32 stand-in records every message box of the process and keeps the picture
// each Direct3D device presented; the viewer stand-in reads both through its test hooks.

#include <insigno/platform_test.h>

#include <mutex>

#include "insigno/host/Probe.h"

namespace insigno::host {
namespace {

std::mutex takenMutex;
std::size_t taken = 0;  // records of the stand-in already handed out

}  // namespace

bool RecordMessageBoxes(HMODULE) {
    return true;
}

std::vector<MessageBoxRecord> TakeMessageBoxes() {
    std::lock_guard<std::mutex> lock(takenMutex);
    const auto all = InsignoPlatform_MessageBoxes();
    if (all.size() < taken) taken = 0;  // someone cleared the record
    std::vector<MessageBoxRecord> out;
    for (; taken < all.size(); ++taken) {
        const auto& box = all[taken];
        out.push_back(
            {box.api == "MessageBoxW", box.caption, box.text, box.type, box.owner != nullptr});
    }
    return out;
}

std::int64_t DeviceCallsOffTheirThread() {
    return static_cast<std::int64_t>(InsignoPlatform_OffThreadDeviceCalls());
}

std::int64_t PresentCount(HWND window) {
    return window ? InsignoPlatform_PresentCount(window) : 0;
}

std::optional<Image> PresentedImage(HWND window) {
    auto presented = InsignoPlatform_PresentedImage(window);
    if (!presented) return std::nullopt;
    return Image{presented->width, presented->height, std::move(presented->pixels)};
}

}  // namespace insigno::host
