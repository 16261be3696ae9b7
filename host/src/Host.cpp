#include "insigno/host/Host.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "insigno/host/Text.h"
#include "insigno/host/ViewerLogos.h"

namespace insigno::host {
namespace {

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n\v\f";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

std::string Unquote(std::string value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// LogoDirectory as the plug-in will read it from a settings file: the last usable line of
// section [LogoMark]. Only the report needs it, to list the logo files.
std::optional<std::string> LogoDirectoryIn(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line, section;
    std::optional<std::string> found;
    while (std::getline(in, line)) {
        line = Trim(line.substr(0, line.find(';')));
        line = Trim(line.substr(0, line.find('#')));
        if (line.size() > 1 && line[0] == '[' && line.find(']') != std::string::npos) {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const auto equals = line.find('=');
        if (section != "LogoMark" || equals == std::string::npos) continue;
        const std::string value = Unquote(Trim(line.substr(equals + 1)));
        if (Trim(line.substr(0, equals)) == "LogoDirectory" &&
            !Trim(line.substr(equals + 1)).empty()) {
            found = value;
        }
    }
    return found;
}

std::string Rect(const OverlayInfo& o) {
    return std::to_string(o.width) + "x" + std::to_string(o.height) + " at (" +
           std::to_string(o.x) + ", " + std::to_string(o.y) + ")";
}

}  // namespace

Host::Host(HostOptions hostOptions, Report& hostReport)
    : options(std::move(hostOptions)),
      report(hostReport),
      rules(hostReport),
      windows(options.containerWidth, options.containerHeight, options.videoContainer),
      state(options.initial) {
    options.workDir = std::filesystem::absolute(options.workDir);
    std::filesystem::create_directories(options.workDir);
    param.messageCallback = &Host::MessageCallback;
    param.hostWindow = windows.Main();
    param.hostData = this;
    WriteSettings();
}

Host::~Host() {
    if (pump) pump->Stop();
    if (module && module->Loaded()) {
        if (!finalized) Finalize();
        Unload();
    }
}

std::filesystem::path Host::ModulePath() const {
    return options.workDir / options.module.filename();
}

std::filesystem::path Host::SettingsPath() const {
    std::filesystem::path path = ModulePath();
    return path.replace_extension(".ini");
}

std::filesystem::path Host::LogoDirectory() const {
    std::string directory = "./Logo";
    if (options.settingsFile) {
        if (auto found = LogoDirectoryIn(SettingsPath())) directory = *found;
    } else {
        for (const auto& [key, value] : options.settings) {
            if (key == "LogoDirectory" && !Unquote(value).empty()) directory = Unquote(value);
        }
    }
    const std::filesystem::path path(directory);
    return (path.is_absolute() ? path : options.workDir / path).lexically_normal();
}

std::vector<std::string> Host::LogoFiles() const {
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(LogoDirectory(), error), end; !error && it != end;
         it.increment(error)) {
        files.push_back(Utf8Path(it->path().filename()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

void Host::WriteSettings() const {
    const auto path = SettingsPath();
    if (options.settingsFile) {
        std::filesystem::copy_file(*options.settingsFile, path,
                                   std::filesystem::copy_options::overwrite_existing);
    } else {
        std::filesystem::remove(path);
    }
    if (options.settings.empty()) return;
    std::ofstream out(path, std::ios::app);
    out << "[LogoMark]\n";
    for (const auto& [key, value] : options.settings) out << key << "=" << value << "\n";
    if (!out) throw std::runtime_error("cannot write the settings file " + Utf8Path(path));
}

bool Host::Load() {
    try {
        module = std::make_unique<PluginModule>(options.module, options.workDir);
    } catch (const std::exception& e) {
        report.Emit(ReportEntry("load")
                        .Add("ok", false)
                        .Add("error", e.what())
                        .Text(std::string("load failed: ") + e.what()));
        return false;
    }
    boxesObservable = RecordMessageBoxes(module->Handle());
    const DWORD version = module->GetVersion();
    TVTest::PluginDescription info{};
    const BOOL infoResult = module->GetPluginInfo(&info);
    const std::string name = Utf8FromWide(info.name);
    report.Emit(ReportEntry("load")
                    .Add("ok", true)
                    .Add("module", Utf8Path(module->Path()))
                    .Add("version", static_cast<std::int64_t>(version))
                    .Add("info", static_cast<std::int64_t>(infoResult))
                    .Add("type", static_cast<std::int64_t>(info.type))
                    .Add("flags", static_cast<std::int64_t>(info.flags))
                    .Add("name", name)
                    .Add("copyright", Utf8FromWide(info.copyright))
                    .Add("description", Utf8FromWide(info.description))
                    .Add("messageboxes_observable", boxesObservable)
                    .Text("loaded " + Utf8Path(module->Path()) + ": " + name + " (version " +
                          std::to_string(version) + ") \"" + Utf8FromWide(info.description) +
                          "\""));
    return true;
}

bool Host::Initialize() {
    if (!module || !module->Loaded()) return false;
    initialized = module->Initialize(&param) != FALSE;
    CollectMessageBoxes();
    report.Emit(ReportEntry("initialize")
                    .Add("result", initialized)
                    .Add("event_callback", EventCallbackRegistered())
                    .Add("stream_callback", StreamCallbackRegistered())
                    .Text(std::string("TVTInitialize -> ") + (initialized ? "TRUE" : "FALSE")));
    Observe();
    if (initialized && options.stream) StartStream(*options.stream);
    return initialized;
}

void Host::StartStream(const StreamSpec& plan) {
    const auto callback = StreamCallback();
    if (!callback || !callback->callback) {
        report.Emit(ReportEntry("stream")
                        .Add("started", false)
                        .Text("stream not started: no stream callback registered"));
        return;
    }
    if (pump) pump->Stop();
    pump = std::make_unique<StreamPump>(plan.path, plan.bitRate, plan.loop);
    pump->Start(callback->callback, callback->clientData, [this] { return StreamAdmitted(); });
    report.Emit(ReportEntry("stream")
                    .Add("started", true)
                    .Add("file", Utf8Path(plan.path))
                    .Add("packets_per_pass", static_cast<std::int64_t>(pump->PacketsPerPass()))
                    .Add("bit_rate", static_cast<std::int64_t>(plan.bitRate))
                    .Add("loop", plan.loop)
                    .Text("streaming " + Utf8Path(plan.path.filename()) + " (" +
                          std::to_string(pump->PacketsPerPass()) + " packets, " +
                          (plan.bitRate > 0
                               ? std::to_string(static_cast<long long>(plan.bitRate)) + " bit/s"
                               : std::string("as fast as possible")) +
                          (plan.loop ? ", looping)" : ", once)")));
}

LRESULT Host::SendEvent(UINT code, LPARAM lParam1, LPARAM lParam2) {
    TVTest::EventCallbackFunc callback = nullptr;
    void* clientData = nullptr;
    bool removed = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        callback = eventCallback;
        clientData = eventClientData;
        removed = eventCallbackRemoved;
    }
    const LRESULT result = callback ? callback(code, lParam1, lParam2, clientData) : 0;
    CollectMessageBoxes();
    const std::string name = EventName(code);
    report.Emit(ReportEntry("event")
                    .Add("code", static_cast<std::int64_t>(code))
                    .Add("name", name)
                    .Add("lparam1", static_cast<std::int64_t>(lParam1))
                    .Add("lparam2", static_cast<std::int64_t>(lParam2))
                    .Add("delivered", callback != nullptr)
                    .Add("result", static_cast<std::int64_t>(result))
                    .Text("event " + name +
                          (code == TVTest::EVENT_PLUGIN_ENABLE ||
                                   code == TVTest::EVENT_PREVIEW_CHANGE || lParam1 != 0
                               ? "(" + std::to_string(lParam1) + ")"
                               : std::string()) +
                          " -> " +
                          (callback  ? std::to_string(result)
                           : removed ? std::string("not delivered: the callback was removed")
                                     : std::string("not delivered"))));
    Observe();
    return result;
}

bool Host::Finalize() {
    if (!module || !module->Loaded() || finalized) return false;
    finalized = true;
    if (!initialized) {
        // The viewer unloads a module whose TVTInitialize failed without finalising it.
        report.Emit(ReportEntry("finalize")
                        .Add("called", false)
                        .Text("TVTFinalize not called: TVTInitialize failed"));
        return false;
    }
    // The viewer stops streaming before it finalises a plug-in, unless the scenario keeps the
    // stream running, when only the plug-in's removal of its callback stops it.
    if (pump && !options.streamThroughFinalize) {
        pump->Stop();
        ReportStreamStopped("before TVTFinalize");
    }
    const auto registered = StreamCallback();
    const bool result = module->Finalize() != FALSE;
    {
        std::lock_guard<std::mutex> lock(mutex);
        afterFinalize = true;
    }
    if (pump && options.streamThroughFinalize) {
        pump->Stop();
        ReportStreamStopped("after TVTFinalize");
        // The stream thread may have taken the callback just before the removal and call it only
        // now, after TVTFinalize: the plug-in must let that packet pass without touching what it
        // has freed. One such packet, a null packet, is handed over here.
        if (registered && registered->callback) {
            alignas(16) BYTE late[StreamPump::PACKET_SIZE] = {0x47, 0x1F, 0xFF, 0x10};
            registered->callback(late, registered->clientData);
            report.Emit(ReportEntry("late_packet").Text("a packet taken before the removal"));
        }
    }
    // A quit message posted during teardown would end the viewer's loop after this.
    MSG quit{};
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) rules.QuitReceived();
    CollectMessageBoxes();
    const bool overlayLeft = windows.FindOverlay() != nullptr;
    bool eventRemoved = false;
    bool streamRemoved = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        eventRemoved = eventCallbackRemoved;
        streamRemoved = streamCallbackRemoved;
    }
    report.Emit(ReportEntry("finalize")
                    .Add("called", true)
                    .Add("result", result)
                    .Add("overlay_left", overlayLeft)
                    .Add("event_callback_removed", eventRemoved)
                    .Add("stream_callback_removed", streamRemoved)
                    .Text(std::string("TVTFinalize -> ") + (result ? "TRUE" : "FALSE") +
                          (eventRemoved && streamRemoved ? ", both callbacks removed"
                                                         : ", callbacks not removed") +
                          (overlayLeft ? ", the overlay window is still there" : "")));
    return result;
}

void Host::ReportStreamStopped(const char* when) {
    const StreamPump::Holds holds = pump->CallbackHolds();
    report.Emit(ReportEntry("stream")
                    .Add("stopped", true)
                    .Add("when", when)
                    .Add("packets", static_cast<std::int64_t>(pump->Packets()))
                    .Add("passes", static_cast<std::int64_t>(pump->Passes()))
                    .Add("callback_removed", pump->Closed())
                    .Add("callbacks", static_cast<std::int64_t>(holds.callbacks))
                    .Add("hold_p999_us", holds.p999Us)
                    .Add("hold_max_us", holds.maxUs)
                    .Text("stream stopped " + std::string(when) + " after " +
                          std::to_string(pump->Packets()) + " packets (" +
                          std::to_string(pump->Passes()) + " passes)" +
                          (pump->Closed() ? ", its callback removed" : "") + "; " +
                          std::to_string(holds.callbacks) + " callbacks held the stream " +
                          std::to_string(holds.p999Us) + " us at the 99.9th percentile, " +
                          std::to_string(holds.maxUs) + " us at most"));
}

bool Host::StreamAdmitted() const {
    std::lock_guard<std::mutex> lock(mutex);
    return streamCallback.has_value();
}

bool Host::Unload() {
    if (!module || !module->Loaded()) return false;
    const bool freed = module->Unload();
    CollectMessageBoxes();
    report.Emit(ReportEntry("unload")
                    .Add("result", freed)
                    .Add("late_messages", static_cast<std::int64_t>(LateMessages()))
                    .Add("off_thread_messages", rules.OffThreadMessages())
                    .Add("quit_messages", rules.QuitMessages())
                    .Add("off_thread_device_calls", rules.OffThreadDeviceCalls())
                    .Text(std::string("FreeLibrary -> ") + (freed ? "TRUE" : "FALSE") + ", " +
                          std::to_string(LateMessages()) + " host messages after TVTFinalize, " +
                          std::to_string(rules.OffThreadMessages()) + " off the viewer's thread" +
                          (rules.OffThreadDeviceCalls() > 0
                               ? "; VIOLATION: " + std::to_string(rules.OffThreadDeviceCalls()) +
                                     " Direct3D device calls off the window's thread"
                               : std::string())));
    return freed;
}

void Host::Pump(double seconds) {
    PumpUntil([] { return false; }, seconds);
}

bool Host::PumpUntil(const std::function<bool()>& done, double timeout) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(timeout));
    while (true) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                rules.QuitReceived();
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Observe();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void Host::Observe() {
    CollectMessageBoxes();
    const OverlayInfo overlay = windows.Overlay();
    if (overlay == lastOverlay) return;
    lastOverlay = overlay;
    ReportEntry entry("overlay");
    entry.Add("exists", overlay.exists).Add("visible", overlay.visible);
    if (overlay.exists) {
        entry.Add("x", overlay.x)
            .Add("y", overlay.y)
            .Add("width", overlay.width)
            .Add("height", overlay.height);
    }
    entry.Text(!overlay.exists   ? "overlay window gone"
               : overlay.visible ? "overlay shown: " + Rect(overlay)
                                 : "overlay hidden: " + Rect(overlay));
    report.Emit(entry);
}

void Host::CollectMessageBoxes() {
    for (auto& box : TakeMessageBoxes()) {
        report.Emit(ReportEntry("messagebox")
                        .Add("api", box.wide ? "MessageBoxW" : "MessageBoxA")
                        .Add("caption", box.caption)
                        .Add("text", box.text)
                        .Add("type", static_cast<std::int64_t>(box.type))
                        .Add("owner", box.owner)
                        .Text(std::string(box.wide ? "MessageBoxW" : "MessageBoxA") + " [" +
                              box.caption + "] " + box.text));
        messageBoxes.push_back(std::move(box));
    }
}

std::map<UINT, int> Host::MessageCounts() const {
    std::lock_guard<std::mutex> lock(mutex);
    return messageCounts;
}

int Host::LateMessages() const {
    std::lock_guard<std::mutex> lock(mutex);
    return lateMessages;
}

bool Host::EventCallbackRegistered() const {
    std::lock_guard<std::mutex> lock(mutex);
    return eventCallback != nullptr;
}

bool Host::StreamCallbackRegistered() const {
    std::lock_guard<std::mutex> lock(mutex);
    return streamCallback.has_value();
}

std::optional<TVTest::StreamCallbackInfo> Host::StreamCallback() const {
    std::lock_guard<std::mutex> lock(mutex);
    return streamCallback;
}

LRESULT CALLBACK Host::MessageCallback(TVTest::HostParam* hostParam, UINT message, LPARAM lParam1,
                                       LPARAM lParam2) {
    return static_cast<Host*>(hostParam->hostData)->OnMessage(message, lParam1, lParam2);
}

LRESULT Host::OnMessage(UINT message, LPARAM lParam1, LPARAM lParam2) {
    rules.CheckThread(message);
    if (message == TVTest::HOST_MSG_REGISTER_COMMAND) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++messageCounts[message];
        }
        return RegisterCommands(lParam1, lParam2);
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++messageCounts[message];
        if (afterFinalize) ++lateMessages;
        if (message == TVTest::HOST_MSG_SET_EVENT_CALLBACK) {
            // A null callback removes the registered one: no event is delivered after this.
            eventCallback = reinterpret_cast<TVTest::EventCallbackFunc>(lParam1);
            eventClientData = reinterpret_cast<void*>(lParam2);
            if (!eventCallback) eventCallbackRemoved = true;
            return 1;
        }
        if (message == TVTest::HOST_MSG_SET_STREAM_CALLBACK) {
            // The plug-in builds the record on its stack: keep a copy.
            const auto* info = reinterpret_cast<const TVTest::StreamCallbackInfo*>(lParam1);
            if (!info) return 0;
            if (info->flags & TVTest::STREAM_CALLBACK_REMOVE) {
                // The packet already inside the callback finishes; no other one starts.
                streamCallback.reset();
                streamCallbackRemoved = true;
                return 1;
            }
            streamCallback = *info;
            return 1;
        }
    }
    if (AnswersViewerLogos(message, lParam1)) {
        return AnswerViewerLogos(state.Get(), message, lParam1, lParam2);
    }
    return HostState::Answers(message) ? state.Answer(message, lParam1, lParam2) : 0;
}

}  // namespace insigno::host
