#include "insigno/host/Soak.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>

#include "insigno/host/ProcessFigures.h"

namespace insigno::host {
namespace {

using Clock = std::chrono::steady_clock;

// Ends the process when the soak stops making progress: a hang inside the module would
// otherwise hold the run (and CI) for ever.
class Watchdog {
public:
    explicit Watchdog(double seconds) : limit(seconds), thread([this] { Watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }
    void Progress(const char* what) {
        std::lock_guard<std::mutex> lock(mutex);
        last = Clock::now();
        doing = what;
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> lock(mutex);
        while (!wake.wait_for(lock, std::chrono::seconds(1), [this] { return stopping; })) {
            if (std::chrono::duration<double>(Clock::now() - last).count() > limit) {
                std::fprintf(stderr, "soak: hang: no progress for %.0f s after %s\n", limit, doing);
                std::fflush(stderr);
                std::_Exit(3);
            }
        }
    }

    double limit;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    Clock::time_point last = Clock::now();
    const char* doing = "start";
    std::thread thread;
};

struct Counts {
    std::int64_t cycles = 0, channelChanges = 0, shown = 0, viewChanges = 0, disables = 0;
    std::int64_t faults = 0;  // cycles that did not end as the viewer expects
};

class Soaker {
public:
    Soaker(const Scenario& s, const SoakOptions& o, Host& h, Report& r, std::ostream& w)
        : scenario(s), options(o), host(h), report(r), out(w), watchdog(o.hangSeconds) {}

    int Run() {
        const auto start = Clock::now();
        const auto end = start + Seconds(options.minutes * options.minuteSeconds);
        Sample(0);
        int minute = 1;
        while (Clock::now() < end) {
            if (!Cycle(std::min(end, Clock::now() + Seconds(options.reloadSeconds)))) return 2;
            for (; Clock::now() >= start + Seconds(options.minuteSeconds * minute); ++minute)
                Sample(minute);
        }
        if (minute - 1 < options.minutes) Sample(minute);
        return Verdict();
    }

private:
    static Clock::duration Seconds(double s) {
        return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
    }

    bool Cycle(Clock::time_point until) {
        watchdog.Progress("load");
        host.PrepareReload();
        if (!host.Load()) return false;
        watchdog.Progress("TVTInitialize");
        if (!host.Initialize()) ++counts.faults;
        ++counts.cycles;
        Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
        Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
        while (Clock::now() < until) {
            ChangeChannel();
            if (counts.channelChanges % 25 == 0) {
                Event(TVTest::EVENT_PLUGIN_ENABLE, 0);
                host.PumpUntil([this] { return !host.Overlay().visible; }, 1);
                Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
                ++counts.disables;
            }
        }
        watchdog.Progress("TVTFinalize");
        const bool finalized = host.Finalize();
        // The viewer expects both callbacks removed and the overlay gone once TVTFinalize returns.
        if (!finalized || host.EventCallbackRegistered() || host.StreamCallbackRegistered() ||
            host.Windows().FindOverlay()) {
            ++counts.faults;
        }
        watchdog.Progress("FreeLibrary");
        if (!host.Unload()) ++counts.faults;
        return true;
    }

    void Event(UINT code, LPARAM lParam1) {
        watchdog.Progress("an event");
        host.SendEvent(code, lParam1);
    }

    void ChangeChannel() {
        const auto& channels = scenario.initial.channels;
        if (channels.empty()) return;
        const int number = channels[dice() % channels.size()].number;
        host.State().Change([number](ViewerState& v) { SwitchChannel(v, number); });
        Event(TVTest::EVENT_CHANNEL_CHANGE, 0);
        ++counts.channelChanges;
        // Most changes follow each other at once, retargeting while the last one is in flight;
        // every third waits for the logo.
        if (counts.channelChanges % 3 != 0) {
            host.Pump(0.005);
            return;
        }
        if (!host.PumpUntil([this] { return host.Overlay().visible; }, 0.2)) return;
        ++counts.shown;
        // The logo is up: the viewer's picture changes under it.
        static constexpr int ZOOMS[] = {50, 100, 150, 200};
        static constexpr std::pair<int, int> ASPECTS[] = {{16, 9}, {4, 3}, {21, 9}};
        host.State().Change([this](ViewerState& v) {
            v.zoom = ZOOMS[dice() % std::size(ZOOMS)];
            v.aspect = ASPECTS[dice() % std::size(ASPECTS)];
            v.fullScreen = !v.fullScreen;
        });
        ++counts.viewChanges;
        watchdog.Progress("pumping");
        host.Pump(0.02);
    }

    void Sample(int minute) {
        const ProcessFigures figures = MeasureProcess();
        if (minute <= 1) {
            baseline = figures;
            baselineCycles = counts.cycles;
        }
        last = figures;
        const std::int64_t cycles = counts.cycles - baselineCycles;
        char line[512];
        int length = std::snprintf(
            line, sizeof line,
            "soak %3d min: %lld cycles, %lld channel changes (logo shown after %lld), "
            "%lld view changes, %lld disable/enable, %lld handles, %lld KiB private "
            "(heap: %lld KiB in use, %lld KiB held), %d rule violations, %d late messages, "
            "%lld faults",
            minute, static_cast<long long>(counts.cycles),
            static_cast<long long>(counts.channelChanges), static_cast<long long>(counts.shown),
            static_cast<long long>(counts.viewChanges), static_cast<long long>(counts.disables),
            static_cast<long long>(figures.handles),
            static_cast<long long>(figures.privateBytes / 1024),
            static_cast<long long>(figures.heapInUse / 1024),
            static_cast<long long>(figures.heapCommitted / 1024), host.Violations(),
            host.LateMessages(), static_cast<long long>(counts.faults));
        if (minute > 1 && cycles > 0 && length > 0 && length < static_cast<int>(sizeof line)) {
            std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length),
                          "; since minute 1 per 100 cycles: %+lld KiB private, %+lld KiB heap "
                          "in use",
                          static_cast<long long>(
                              Per100(figures.privateBytes - baseline.privateBytes, cycles) / 1024),
                          static_cast<long long>(
                              Per100(figures.heapInUse - baseline.heapInUse, cycles) / 1024));
        }
        out << line << std::endl;
        if (std::getenv("INSIGNO_SOAK_REGIONS")) out << RegionChanges() << std::flush;
        report.Emit(ReportEntry("soak")
                        .Add("minute", minute)
                        .Add("cycles", counts.cycles)
                        .Add("channel_changes", counts.channelChanges)
                        .Add("shown", counts.shown)
                        .Add("view_changes", counts.viewChanges)
                        .Add("disables", counts.disables)
                        .Add("handles", figures.handles)
                        .Add("private_bytes", figures.privateBytes)
                        .Add("heap_in_use", figures.heapInUse)
                        .Add("heap_committed", figures.heapCommitted)
                        .Add("violations", host.Violations())
                        .Add("late_messages", host.LateMessages())
                        .Add("faults", counts.faults)
                        .Text(line));
    }

    static std::int64_t Per100(std::int64_t growth, std::int64_t cycles) {
        return cycles > 0 ? growth * 100 / cycles : 0;
    }

    int Verdict() {
        bool failed = false;
        auto fail = [&](const std::string& why) {
            out << "soak failed: " << why << std::endl;
            failed = true;
        };
        if (host.Violations() > 0) fail(std::to_string(host.Violations()) + " viewer rules broken");
        if (host.LateMessages() > 0) fail("host messages after TVTFinalize");
        if (counts.faults > 0) fail(std::to_string(counts.faults) + " cycles ended wrongly");
        if (counts.shown == 0) fail("the logo was never shown");
        if (baseline.handles < 0 || baseline.privateBytes < 0) fail("no process figures");
        if (last.handles - baseline.handles > options.handleGrowth) {
            fail("handles grew from " + std::to_string(baseline.handles) + " to " +
                 std::to_string(last.handles));
        }
        const std::int64_t cycles = counts.cycles - baselineCycles;
        auto judge = [&](const char* what, std::int64_t from, std::int64_t to, std::int64_t step,
                         std::int64_t per100) {
            const std::int64_t allowed = Bound(step, per100, cycles);
            if (to - from <= allowed) return;
            fail(std::string(what) + " grew from " + std::to_string(from / 1024) + " KiB to " +
                 std::to_string(to / 1024) + " KiB over " + std::to_string(cycles) +
                 " cycles after minute 1 (allowed: " + std::to_string(allowed / 1024) + " KiB)");
        };
        judge("private memory", baseline.privateBytes, last.privateBytes, options.memoryStep,
              options.memoryPer100Cycles);
        if (baseline.heapInUse >= 0 && last.heapInUse >= 0) {
            judge("the heap in use", baseline.heapInUse, last.heapInUse, options.heapStep,
                  options.heapPer100Cycles);
        }
        if (!failed) out << "soak passed" << std::endl;
        return failed ? 1 : 0;
    }

    const Scenario& scenario;
    const SoakOptions& options;
    Host& host;
    Report& report;
    std::ostream& out;
    Watchdog watchdog;
    std::minstd_rand dice{20240611};  // the same run every time
    Counts counts;
    ProcessFigures baseline, last;
    std::int64_t baselineCycles = 0;
};

}  // namespace

std::int64_t Bound(std::int64_t step, std::int64_t per100, std::int64_t cycles) {
    return step + per100 * std::max<std::int64_t>(cycles, 0) / 100;
}

int RunSoak(const Scenario& scenario, const SoakOptions& options, Host& host, Report& report,
            std::ostream& out) {
    report.KeepLines(false);
    return Soaker(scenario, options, host, report, out).Run();
}

}  // namespace insigno::host
