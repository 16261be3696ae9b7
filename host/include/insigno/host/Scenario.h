#pragma once

// A scenario: how the viewer stand-in is set up and what it does over time. Text, one directive a
// line; lines beginning with "at" are timed steps, all others set things up before the module is
// loaded. The format is described in the README ("The viewer stand-in").

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "insigno/host/ViewerState.h"

namespace insigno::host {

class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct StreamSpec {
    std::filesystem::path path;
    double bitRate = 0;  // bits per second; 0 streams as fast as the plug-in takes packets
    bool loop = true;    // start over at the end of the file
};

// A change of the viewer's state; `text` is the directive as written, for the report.
struct StateChange {
    std::string text;
    std::function<void(ViewerState&)> apply;
};

struct EventStep {
    std::uint32_t code = 0;
    std::int64_t lParam1 = 0;
    std::int64_t lParam2 = 0;
};

// "channel N": the current channel becomes N and the watched service its listed service, then
// event 2 is delivered.
struct ChannelStep {
    int number = 0;
};

// "tune P": the current channel becomes list entry P (see SelectEntry), then event 2.
struct TuneStep {
    std::size_t position = 0;
};

// "switch-service SID": the watched service becomes SID (see WatchService), then event 3.
struct ServiceStep {
    std::uint16_t serviceId = 0;
};

struct SnapshotStep {
    std::filesystem::path path;
};

enum class WaitCondition { Visible, Hidden, Files, Passes };

struct WaitStep {
    WaitCondition condition = WaitCondition::Visible;
    int count = 0;        // files: at least this many logo files; passes: this many more passes
    double timeout = 30;  // seconds
};

enum class StreamOp { Pause, Resume, Restart };

struct StreamStep {
    StreamOp op = StreamOp::Pause;
};

// "event settings": the settings button (event 1 with the main window). The steps that follow
// run while the dialog is open, up to "dialog ok" or "dialog cancel".
struct SettingsStep {};

// "dialog KEY VALUE" sets the field of a settings key as the user would; "dialog ok" and
// "dialog cancel" press those buttons (key "ok" or "cancel", no value).
struct DialogStep {
    std::string key;
    std::string value;
};

// "event command TEXT": event 13 with the id the plug-in registered under TEXT.
struct CommandStep {
    std::string text;
};

struct LogoFilesStep {};
struct EndStep {};

// A line of narration for the timeline.
struct NoteStep {
    std::string text;
};

// "cpu LABEL": the CPU time, host messages and presents since the previous cpu step (or the
// start), per second of the time between, reported under LABEL.
struct CpuStep {
    std::string label;
};

using StepAction = std::variant<StateChange, EventStep, ChannelStep, TuneStep, ServiceStep,
                                SnapshotStep, WaitStep, StreamStep, LogoFilesStep, EndStep,
                                NoteStep, SettingsStep, DialogStep, CommandStep, CpuStep>;

struct Step {
    double at = 0;          // seconds after initialisation, or after the previous step
    bool relative = false;  // "at +D"
    int line = 0;
    std::string text;  // the directive as written
    StepAction action;
};

struct Scenario {
    std::optional<std::filesystem::path> module;
    std::optional<std::filesystem::path> workDir;
    int containerWidth = 1280;
    int containerHeight = 720;
    bool videoContainer = true;  // false: the window tree lacks "TVTest Video Container"
    std::vector<std::pair<std::string, std::string>> settings;  // [LogoMark] KEY=VALUE lines
    std::optional<std::filesystem::path> settingsFile;          // copied as the settings file
    std::optional<StreamSpec> stream;
    bool streamThroughFinalize = false;  // packets keep arriving into TVTFinalize
    ViewerState initial;
    std::vector<Step> steps;
};

// Throws ScenarioError naming the line for anything it does not understand.
Scenario ParseScenario(std::istream& in);
Scenario LoadScenario(const std::filesystem::path& path);

// The event names a scenario may use instead of codes ("enable" is 0, "preview" 8, ...).
std::optional<std::uint32_t> EventCode(const std::string& name);
std::string EventName(std::uint32_t code);

}  // namespace insigno::host
