// The viewer's settings button and command keys, and a user in the plug-in's settings dialog.
#include <cstdlib>

#include "FarEdge.h"
#include "SettingNames.h"
#include "SettingsDialogIds.h"
#include "insigno/host/Host.h"
#include "insigno/host/Text.h"

namespace insigno::host {
namespace {

constexpr UINT_PTR kSettingsTimer = 0x5E77;
Host* settingsHost = nullptr;  // the viewer's UI thread only

// EndDialog hides the dialog at once; it goes when its modal loop ends.
HWND FindDialog(bool visible = true) {
    HWND dialog = FindWindowW(L"#32770", nullptr);
    return dialog && (!visible || IsWindowVisible(dialog)) ? dialog : nullptr;
}

std::wstring Wide(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

// As the user's typing, choice or tick would: the control changes, its notification follows.
// A disabled field takes no typing.
bool Type(HWND dialog, int id, const std::string& text) {
    if (!IsWindowEnabled(GetDlgItem(dialog, id))) return false;
    SetDlgItemTextW(dialog, id, Wide(text).c_str());
    return true;
}

void Notify(HWND dialog, int id, int code) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Choose(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(dialog, id, CBN_SELCHANGE);
}

void Position(HWND dialog, const int ids[3], bool pixels, const std::string& value) {
    const insigno::EdgeDistance distance = insigno::SplitAtSign(value);
    Choose(dialog, ids[0], pixels ? 1 : 0);
    Choose(dialog, ids[1], distance.fromFar ? 1 : 0);
    Type(dialog, ids[2], distance.distance);
}

}  // namespace

VOID CALLBACK Host::SettingsTimer(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    if (settingsHost) settingsHost->RunWhileOpen();
}

LRESULT Host::OpenSettings(std::function<void()> whileOpen) {
    settingsSteps = std::move(whileOpen);
    settingsHost = this;
    dialogPressed = false;
    SetTimer(windows.Main(), kSettingsTimer, 10, &Host::SettingsTimer);
    const LRESULT result =
        SendEvent(TVTest::EVENT_PLUGIN_SETTINGS, reinterpret_cast<LPARAM>(windows.Main()));
    KillTimer(windows.Main(), kSettingsTimer);
    // No dialog ran its loop: the steps still run, and find none.
    if (settingsSteps) RunWhileOpen();
    settingsHost = nullptr;
    return result;
}

void Host::RunWhileOpen() {
    const std::function<void()> steps = std::move(settingsSteps);
    settingsSteps = nullptr;
    steps();
    // Also one never shown (none was pressed): the event would not return while it exists.
    HWND dialog = FindDialog(dialogPressed);
    if (!dialog) return;
    ++dialogFailures;
    report.Emit(ReportEntry("dialog")
                    .Add("left_open", true)
                    .Text("the settings dialog was left open: cancelled"));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

bool Host::DialogOpen() const {
    return FindDialog() != nullptr;
}

bool Host::DialogSet(const std::string& key, const std::string& value) {
    HWND dialog = FindDialog();
    static const int x[3] = {IDC_X_UNIT, IDC_X_EDGE, IDC_X_AMOUNT};
    static const int y[3] = {IDC_Y_UNIT, IDC_Y_EDGE, IDC_Y_AMOUNT};
    const int number = std::atoi(value.c_str());
    using namespace SettingName;
    bool known = dialog != nullptr;
    if (!known) {
    } else if (key == kLogoDirectory) {
        known = Type(dialog, IDC_DIRECTORY, value);
    } else if (key == kLogoScale) {
        known = Type(dialog, IDC_SCALE, value);
    } else if (key == kLogoType) {
        Choose(dialog, IDC_TYPE, number);
    } else if (key == kEnableFixedScale) {
        CheckDlgButton(dialog, IDC_FIXED_SCALE, number != 0 ? BST_CHECKED : BST_UNCHECKED);
        Notify(dialog, IDC_FIXED_SCALE, BN_CLICKED);
    } else if (key == kEnableFixedPositionX || key == kEnableFixedPositionY) {
        Choose(dialog, key == kEnableFixedPositionX ? IDC_X_UNIT : IDC_Y_UNIT, number != 0 ? 1 : 0);
    } else if (key == kPositionX || key == kPositionRateX) {
        Position(dialog, x, key == kPositionX, value);
    } else if (key == kPositionY || key == kPositionRateY) {
        Position(dialog, y, key == kPositionY, value);
    } else if (key == kDisplaySeconds) {
        Choose(dialog, IDC_TIME, value == "-1" ? 1 : value == "0" ? 2 : 0);
        if (value != "-1" && value != "0") known = Type(dialog, IDC_SECONDS, value);
    } else {
        known = false;
    }
    Observe();
    if (!known) ++dialogFailures;
    report.Emit(
        ReportEntry("dialog")
            .Add("key", key)
            .Add("value", value)
            .Add("ok", known)
            .Text(known ? "settings dialog: " + key + " = " + value
                        : "settings dialog: cannot set " + key + (dialog ? "" : ", no dialog")));
    return known;
}

bool Host::DialogPress(bool ok) {
    HWND dialog = FindDialog();
    if (dialog) {
        const int id = ok ? IDOK : IDCANCEL;
        dialogPressed = true;
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    } else {
        ++dialogFailures;
    }
    CollectMessageBoxes();
    Observe();
    report.Emit(ReportEntry("dialog")
                    .Add("press", ok ? "ok" : "cancel")
                    .Add("closed", dialog != nullptr && !DialogOpen())
                    .Text(std::string("settings dialog: ") + (ok ? "OK" : "Cancel") +
                          (!dialog        ? ", no dialog"
                           : DialogOpen() ? ", stays open"
                                          : "")));
    return dialog != nullptr;
}

LRESULT Host::RegisterCommands(LPARAM records, LPARAM count) {
    const auto* record = reinterpret_cast<const TVTest::CommandRecord*>(records);
    if (!record || count <= 0) return 0;
    std::lock_guard<std::mutex> lock(mutex);
    for (LPARAM i = 0; i < count; ++i) {
        // Copied out of the packed record: its pointers may sit unaligned.
        const INT id = record[i].id;
        const LPCWSTR text = record[i].text;
        commands.emplace_back(id, Utf8FromWide(text));
    }
    return 1;
}

std::vector<std::string> Host::Commands() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::string> texts;
    for (const auto& command : commands) texts.push_back(command.second);
    return texts;
}

bool Host::RunCommand(const std::string& text) {
    std::optional<INT> id;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const auto& command : commands)
            if (command.second == text) id = command.first;
    }
    if (!id) {
        report.Emit(ReportEntry("command")
                        .Add("text", text)
                        .Add("registered", false)
                        .Text("command " + text + " was never registered"));
        return false;
    }
    SendEvent(TVTest::EVENT_COMMAND, *id);
    return true;
}

}  // namespace insigno::host
