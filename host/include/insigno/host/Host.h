#pragma once

// The viewer stand-in: plays the viewer's part of the plug-in protocol for one module. Construct
// it, and call everything but the message function, on one thread: it is the viewer's UI thread,
// whose messages Pump dispatches (the overlay window lives there).

#include <windows.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "HostProtocol.h"
#include "insigno/host/HostRules.h"
#include "insigno/host/HostState.h"
#include "insigno/host/HostWindows.h"
#include "insigno/host/PluginModule.h"
#include "insigno/host/Probe.h"
#include "insigno/host/Report.h"
#include "insigno/host/Scenario.h"
#include "insigno/host/StreamPump.h"

namespace insigno::host {

struct HostOptions {
    std::filesystem::path module;
    std::filesystem::path workDir;  // the module is copied here
    int containerWidth = 1280;
    int containerHeight = 720;
    bool videoContainer = true;
    // Written as the settings file beside the module copy, in section [LogoMark].
    std::vector<std::pair<std::string, std::string>> settings;
    // Copied as the settings file instead (the lines above are then appended).
    std::optional<std::filesystem::path> settingsFile;
    std::optional<StreamSpec> stream;
    // Keep the stream running into TVTFinalize: packets arrive until the plug-in removes its
    // stream callback (the viewer's streaming thread does not wait for a plug-in to finalise).
    bool streamThroughFinalize = false;
    ViewerState initial;
};

class Host {
public:
    // Creates the window tree and writes the settings file; loads nothing yet.
    Host(HostOptions options, Report& report);
    // Stops the stream, finalises and unloads what is still loaded.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The viewer's order: Load (copy, LoadLibraryW, TVTGetVersion, TVTGetPluginInfo), Initialize
    // (TVTInitialize; then the stream starts if one is configured and a callback was registered),
    // events while pumping, Finalize (stream stopped, TVTFinalize), Unload (FreeLibrary). As the
    // viewer does, Finalize calls TVTFinalize only after a TVTInitialize that returned TRUE and
    // answers false without calling it otherwise.
    bool Load();
    bool Initialize();
    // Delivers an event on this thread; 0 when no event callback is registered.
    LRESULT SendEvent(UINT code, LPARAM lParam1 = 0, LPARAM lParam2 = 0);
    bool Finalize();
    bool Unload();
    // After Unload: the viewer's windows and state stay, the module can be loaded again (a viewer
    // that unloads a plug-in and loads it anew). Late messages and broken rules keep counting.
    void PrepareReload();

    // The settings button: event 1 with the main window. `whileOpen` runs inside the modal loop
    // of the dialog the plug-in shows, as the user's actions would; a dialog it leaves open is
    // cancelled and counted as a broken step. Answers the event's result.
    LRESULT OpenSettings(std::function<void()> whileOpen);
    bool DialogOpen() const;
    // Plays the user in the open settings dialog: types, ticks or chooses the field of a
    // settings key so that it holds `value`; false when there is no dialog or no such key.
    bool DialogSet(const std::string& key, const std::string& value);
    // Presses OK or Cancel; false when no dialog is open.
    bool DialogPress(bool ok);
    // Event 13 with the id the plug-in registered under `text`; false when none has that text.
    bool RunCommand(const std::string& text);
    // The texts of the registered commands, in their order.
    std::vector<std::string> Commands() const;
    // Settings steps that found no dialog, or left one open.
    int DialogFailures() const { return dialogFailures; }

    // Dispatches this thread's messages and watches the overlay for `seconds`.
    void Pump(double seconds);
    // Pumps until `done` holds (checked between passes) or `timeout` seconds passed.
    bool PumpUntil(const std::function<bool()>& done, double timeout);

    HostState& State() { return state; }
    const HostWindows& Windows() const { return windows; }
    OverlayInfo Overlay() const { return windows.Overlay(); }
    StreamPump* Stream() { return pump.get(); }
    void StartStream(const StreamSpec& plan);

    const std::filesystem::path& WorkDir() const { return options.workDir; }
    std::filesystem::path ModulePath() const;
    std::filesystem::path SettingsPath() const;
    std::filesystem::path LogoDirectory() const;
    // File names in the logo directory, sorted; empty when it does not exist.
    std::vector<std::string> LogoFiles() const;

    // Whether the message boxes of the loaded module can be seen (see Probe.h).
    bool MessageBoxesObservable() const { return boxesObservable; }
    // Every message box reported so far.
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes; }
    // Host messages received, by number; and those received after TVTFinalize returned.
    std::map<UINT, int> MessageCounts() const;
    int LateMessages() const;
    // Broken rules of the viewer (see HostRules.h); any makes a scenario run fail.
    const HostRules& Rules() const { return rules; }
    int Violations() const { return rules.Violations(); }
    bool EventCallbackRegistered() const;
    bool StreamCallbackRegistered() const;
    std::optional<TVTest::StreamCallbackInfo> StreamCallback() const;

    // The video container as presented: a test background with the overlay's presented image
    // at its rectangle. Empty where the platform cannot tell what was presented.
    std::optional<Image> Snapshot() const;

private:
    static LRESULT CALLBACK MessageCallback(TVTest::HostParam* param, UINT message, LPARAM lParam1,
                                            LPARAM lParam2);
    LRESULT OnMessage(UINT message, LPARAM lParam1, LPARAM lParam2);
    void WriteSettings() const;
    void Observe();
    void CollectMessageBoxes();
    // The pump's gate: the stream callback is still registered.
    bool StreamAdmitted() const;
    void ReportStreamStopped(const char* when);
    LRESULT RegisterCommands(LPARAM records, LPARAM count);
    void RunWhileOpen();
    static VOID CALLBACK SettingsTimer(HWND window, UINT message, UINT_PTR id, DWORD time);

    HostOptions options;
    Report& report;
    HostRules rules;
    HostWindows windows;
    HostState state;
    TVTest::HostParam param{};
    std::unique_ptr<PluginModule> module;
    std::unique_ptr<StreamPump> pump;
    bool initialized = false;
    bool boxesObservable = false;
    bool finalized = false;
    OverlayInfo lastOverlay;
    std::vector<MessageBoxRecord> messageBoxes;

    mutable std::mutex mutex;  // guards what the message function touches
    std::map<UINT, int> messageCounts;
    int lateMessages = 0;
    bool afterFinalize = false;
    TVTest::EventCallbackFunc eventCallback = nullptr;
    void* eventClientData = nullptr;
    std::optional<TVTest::StreamCallbackInfo> streamCallback;
    std::vector<std::pair<INT, std::string>> commands;  // registered with message 53
    std::function<void()> settingsSteps;
    int dialogFailures = 0;
    bool dialogPressed = false;  // OK or Cancel pressed in the settings dialog now open
    bool eventCallbackRemoved = false;
    bool streamCallbackRemoved = false;
};

}  // namespace insigno::host
