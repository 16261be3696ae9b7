#include "insigno/host/HostRules.h"

#include <string>

#include "insigno/host/Probe.h"

namespace insigno::host {
namespace {

// A plug-in that polls off-thread does so every few milliseconds: report the first ones, count
// the rest.
constexpr int REPORTED_OFF_THREAD = 100;

}  // namespace

HostRules::HostRules(Report& hostReport)
    : report(hostReport), viewerThread(std::this_thread::get_id()) {}

void HostRules::CheckThread(UINT message) {
    if (OnViewerThread()) return;
    const int seen = offThread.fetch_add(1) + 1;
    if (seen > REPORTED_OFF_THREAD) return;
    report.Emit(ReportEntry("off-thread")
                    .Add("message", static_cast<std::int64_t>(message))
                    .Add("count", seen)
                    .Text("VIOLATION: host message " + std::to_string(message) +
                          " sent off the viewer's thread" +
                          (seen == REPORTED_OFF_THREAD ? " (further ones are only counted)" : "")));
}

int HostRules::OffThreadDeviceCalls() const {
    return static_cast<int>(DeviceCallsOffTheirThread());
}

void HostRules::QuitReceived() {
    quits.fetch_add(1);
    report.Emit(ReportEntry("quit").Text(
        "VIOLATION: a WM_QUIT reached the viewer's thread, which would end the viewer"));
}

}  // namespace insigno::host
