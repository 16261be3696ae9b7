#include "insigno/host/ScenarioRunner.h"

#include <chrono>
#include <functional>
#include <type_traits>

#include "insigno/host/Probe.h"
#include "insigno/host/ProcessFigures.h"
#include "insigno/host/Snapshot.h"
#include "insigno/host/Text.h"

namespace insigno::host {
namespace {

using Clock = std::chrono::steady_clock;

Clock::duration Seconds(double seconds) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

std::string Join(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& name : names) out += (out.empty() ? "" : ", ") + name;
    return out.empty() ? "(none)" : out;
}

void ReportLogoFiles(Host& host, Report& report, const char* when) {
    const auto files = host.LogoFiles();
    report.Emit(ReportEntry("logo-files")
                    .Add("when", when)
                    .Add("directory", Utf8Path(host.LogoDirectory()))
                    .Add("files", files)
                    .Text(std::string("logo files ") + when + " in " +
                          Utf8Path(host.LogoDirectory()) + ": " + Join(files)));
}

class StepRunner {
public:
    StepRunner(const Scenario& s, Host& h, Report& r) : scenario(s), host(h), report(r) {}

    bool failed = false;
    bool ended = false;

    void operator()(const StateChange& change) {
        host.State().Change(change.apply);
        report.Emit(ReportEntry("state").Add("change", change.text).Text("viewer: " + change.text));
    }

    void operator()(const EventStep& event) {
        host.SendEvent(event.code, static_cast<LPARAM>(event.lParam1),
                       static_cast<LPARAM>(event.lParam2));
    }

    void operator()(const ChannelStep& channel) {
        const int number = channel.number;
        host.State().Change([number](ViewerState& s) { SwitchChannel(s, number); });
        report.Emit(ReportEntry("state")
                        .Add("change", "current " + std::to_string(number))
                        .Text("viewer: switches to channel " + std::to_string(number)));
        host.SendEvent(TVTest::EVENT_CHANNEL_CHANGE);
    }

    void operator()(const TuneStep& tune) {
        const std::size_t position = tune.position;
        host.State().Change([position](ViewerState& s) { SelectEntry(s, position); });
        report.Emit(ReportEntry("state")
                        .Add("change", "select " + std::to_string(position))
                        .Text("viewer: switches to list entry " + std::to_string(position)));
        host.SendEvent(TVTest::EVENT_CHANNEL_CHANGE);
    }

    void operator()(const ServiceStep& service) {
        const std::uint16_t id = service.serviceId;
        host.State().Change([id](ViewerState& s) { WatchService(s, id); });
        report.Emit(ReportEntry("state")
                        .Add("change", "watch " + std::to_string(id))
                        .Text("viewer: switches to service " + std::to_string(id)));
        host.SendEvent(TVTest::EVENT_SERVICE_CHANGE);
    }

    void operator()(const SnapshotStep& snapshot) {
        const auto path =
            (snapshot.path.is_absolute() ? snapshot.path : host.WorkDir() / snapshot.path)
                .lexically_normal();
        std::string error = "the picture the overlay presented cannot be read here";
        // A window shown a moment ago may not have been drawn yet: give its render thread time.
        host.PumpUntil(
            [this] {
                return !host.Overlay().visible ||
                       PresentedImage(host.Windows().FindOverlay()).has_value();
            },
            10);
        const auto image = host.Snapshot();
        const bool ok = image && WritePng(*image, path, error);
        const OverlayInfo overlay = host.Overlay();
        ReportEntry entry("snapshot");
        entry.Add("file", Utf8Path(path)).Add("ok", ok).Add("overlay_visible", overlay.visible);
        if (!ok) entry.Add("error", error);
        entry.Text(ok ? "snapshot " + Utf8Path(path) +
                            (overlay.visible ? " (with the overlay)" : " (no overlay shown)")
                      : "snapshot not written: " + error);
        report.Emit(entry);
        failed = failed || !ok;
    }

    void operator()(const WaitStep& wait) {
        std::function<bool()> done;
        std::string what;
        switch (wait.condition) {
            case WaitCondition::Visible:
                done = [this] { return host.Overlay().visible; };
                what = "the overlay is shown";
                break;
            case WaitCondition::Hidden:
                done = [this] { return !host.Overlay().visible; };
                what = "the overlay is hidden";
                break;
            case WaitCondition::Files: {
                const auto count = static_cast<std::size_t>(wait.count);
                done = [this, count] { return host.LogoFiles().size() >= count; };
                what = std::to_string(wait.count) + " logo files";
                break;
            }
            case WaitCondition::Passes: {
                const std::uint64_t target = (host.Stream() ? host.Stream()->Passes() : 0) +
                                             static_cast<std::uint64_t>(wait.count);
                done = [this, target] {
                    return host.Stream() && host.Stream()->Passes() >= target;
                };
                what = std::to_string(wait.count) + " more passes of the stream";
                break;
            }
        }
        const bool met = host.PumpUntil(done, wait.timeout);
        report.Emit(
            ReportEntry("wait")
                .Add("for", what)
                .Add("met", met)
                .Text(std::string(met ? "done waiting for " : "GAVE UP waiting for ") + what));
        failed = failed || !met;
    }

    void operator()(const StreamStep& step) {
        StreamPump* pump = host.Stream();
        if (step.op == StreamOp::Restart) {
            if (scenario.stream) host.StartStream(*scenario.stream);
            return;
        }
        if (!pump) return;
        if (step.op == StreamOp::Pause) pump->Pause();
        if (step.op == StreamOp::Resume) pump->Resume();
        report.Emit(
            ReportEntry("stream")
                .Add("paused", step.op == StreamOp::Pause)
                .Add("packets", static_cast<std::int64_t>(pump->Packets()))
                .Text(std::string(step.op == StreamOp::Pause ? "stream paused" : "stream resumed") +
                      " at packet " + std::to_string(pump->Packets())));
    }

    void operator()(const LogoFilesStep&) { ReportLogoFiles(host, report, "now"); }

    void operator()(const EndStep&) { ended = true; }

    // Run by RunScenario, which gives it the steps that follow.
    void operator()(const SettingsStep&) {}

    void operator()(const DialogStep& step) {
        const bool ok = step.key == "ok" || step.key == "cancel"
                            ? host.DialogPress(step.key == "ok")
                            : host.DialogSet(step.key, step.value);
        failed = failed || !ok;
    }

    void operator()(const CommandStep& step) { failed = !host.RunCommand(step.text) || failed; }

    void operator()(const NoteStep& note) {
        report.Emit(ReportEntry("note").Add("text", note.text).Text("-- " + note.text));
    }

    void operator()(const CpuStep& step) {
        const CpuMark now = Mark();
        const double wall = std::chrono::duration<double>(now.wall - lastMark.wall).count();
        const double cpu = now.cpu - lastMark.cpu;
        const auto perSecond = [wall](double count) { return wall > 0 ? count / wall : 0.0; };
        const double polls = perSecond(now.zoomPolls - lastMark.zoomPolls);
        const double presents =
            now.presents < 0 ? -1
                             : perSecond(static_cast<double>(now.presents - lastMark.presents));
        report.Emit(ReportEntry("cpu")
                        .Add("label", step.label)
                        .Add("seconds", wall)
                        .Add("cpu_seconds", cpu)
                        .Add("zoom_polls_per_second", polls)
                        .Add("presents_per_second", presents)
                        .Text("cpu " + step.label + ": " + std::to_string(cpu) + " s of CPU in " +
                              std::to_string(wall) + " s, " + std::to_string(polls) +
                              " zoom polls/s, " +
                              (presents < 0 ? std::string("presents not counted here")
                                            : std::to_string(presents) + " presents/s")));
        lastMark = now;
    }

private:
    struct CpuMark {
        std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
        double cpu = CpuSeconds();
        int zoomPolls = 0;
        std::int64_t presents = 0;
    };

    CpuMark Mark() const {
        CpuMark mark;
        const auto counts = host.MessageCounts();
        const auto zoom = counts.find(TVTest::HOST_MSG_GET_ZOOM);
        mark.zoomPolls = zoom == counts.end() ? 0 : zoom->second;
        mark.presents = PresentCount(host.Windows().FindOverlay());
        return mark;
    }

    CpuMark lastMark;

    const Scenario& scenario;
    Host& host;
    Report& report;
};

}  // namespace

HostOptions OptionsFor(const Scenario& scenario) {
    HostOptions options;
    if (scenario.module) options.module = *scenario.module;
    if (scenario.workDir) options.workDir = *scenario.workDir;
    options.containerWidth = scenario.containerWidth;
    options.containerHeight = scenario.containerHeight;
    options.videoContainer = scenario.videoContainer;
    options.settings = scenario.settings;
    options.settingsFile = scenario.settingsFile;
    options.stream = scenario.stream;
    options.streamThroughFinalize = scenario.streamThroughFinalize;
    options.initial = scenario.initial;
    return options;
}

int RunScenario(const Scenario& scenario, Host& host, Report& report) {
    if (!host.Load()) return 2;
    ReportLogoFiles(host, report, "before");
    host.Initialize();
    StepRunner runner(scenario, host, report);
    const auto start = Clock::now();
    auto previous = start;
    std::size_t next = 0;
    // Runs steps in order; inside the settings dialog (`inDialog`) only until OK or Cancel.
    std::function<void(bool)> run = [&](bool inDialog) {
        while (next < scenario.steps.size() && !runner.ended) {
            const Step& step = scenario.steps[next++];
            const auto due = (step.relative ? previous : start) + Seconds(step.at);
            host.PumpUntil([due] { return Clock::now() >= due; }, 1e9);
            if (std::holds_alternative<SettingsStep>(step.action)) {
                host.OpenSettings([&] { run(true); });
            } else {
                std::visit(runner, step.action);
            }
            previous = Clock::now();
            const auto* dialog = std::get_if<DialogStep>(&step.action);
            if (inDialog && dialog && (dialog->key == "ok" || dialog->key == "cancel") &&
                !host.DialogOpen()) {
                return;
            }
        }
    };
    run(false);
    ReportLogoFiles(host, report, "at the end");
    host.Finalize();
    host.Unload();
    // A broken rule of the viewer fails the run as a failed step does.
    return runner.failed || host.Violations() > 0 || host.DialogFailures() > 0 ? 1 : 0;
}

}  // namespace insigno::host
