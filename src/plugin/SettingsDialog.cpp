// The settings dialog's procedure: it moves the model's fields in and out of the controls and
// hands the values to the overlay; what the values mean is SettingsModel's.
#include "SettingsDialog.h"

#include <map>
#include <string>
#include <vector>

#include "LogoPlugin.h"
#include "ModuleState.h"
#include "SettingNames.h"
#include "SettingsDialogIds.h"
#include "SettingsDialogTemplate.h"
#include "SettingsModel.h"
#include "WindowAsChild.h"

namespace {

constexpr UINT kCodePage = 932;  // the settings file's
const wchar_t kStateProperty[] = L"InsignoSettingsDialog";
const wchar_t kCaption[] = L"Insigno";
// "入力された値が正しくありません: "
const wchar_t kRejected[] =
    L"\u5165\u529B\u3055\u308C\u305F\u5024\u304C\u6B63\u3057\u304F\u3042\u308A\u307E\u305B\u3093: ";
// "設定ファイルが読み取り専用のため、保存できませんでした。"
const wchar_t kReadOnly[] =
    L"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u304C\u8AAD\u307F\u53D6\u308A\u5C02\u7528\u306E\u305F"
    L"\u3081\u3001\u4FDD\u5B58\u3067\u304D\u307E\u305B\u3093\u3067\u3057\u305F\u3002";
// "設定ファイルの文字コード (Shift_JIS) で表せない文字が含まれています: "
const wchar_t kUnencodable[] =
    L"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u306E\u6587\u5B57\u30B3\u30FC\u30C9 (Shift_JIS) "
    L"\u3067\u8868\u305B\u306A\u3044\u6587\u5B57\u304C\u542B\u307E\u308C\u3066\u3044\u307E"
    L"\u3059: ";
// "設定ファイルが UTF-16 (Unicode) で保存されているため、書き込みませんでした。
// ANSI (Shift_JIS) で保存し直してください。"
const wchar_t kUtf16[] =
    L"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u304C UTF-16 (Unicode) \u3067\u4FDD\u5B58\u3055"
    L"\u308C\u3066\u3044\u308B\u305F\u3081\u3001\u66F8\u304D\u8FBC\u307F\u307E\u305B\u3093"
    L"\u3067\u3057\u305F\u3002ANSI (Shift_JIS) \u3067\u4FDD\u5B58\u3057\u76F4\u3057\u3066"
    L"\u304F\u3060\u3055\u3044\u3002";
// "設定ファイルを保存できませんでした。"
const wchar_t kNotWritten[] =
    L"\u8A2D\u5B9A\u30D5\u30A1\u30A4\u30EB\u3092\u4FDD\u5B58\u3067\u304D\u307E\u305B\u3093\u3067"
    L"\u3057\u305F\u3002";

struct DialogState {
    StreamCallbackManager& manager;
    SettingsModel model;
    bool filling = false;
    // The text each edit control was last given: while it still holds it, the field stands
    // for its value's bytes exactly, whatever the conversion to wide characters made of them.
    std::map<int, std::wstring> shown;
};

std::wstring Widen(const std::string& text) {
    const int length =
        MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    const int length = WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                        length, nullptr, nullptr);
    return narrow;
}

std::wstring GetText(HWND dialog, int id) {
    const auto length = static_cast<int>(SendDlgItemMessageW(dialog, id, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(GetDlgItemTextW(dialog, id, text.data(), length + 1));
    return text;
}

void SetText(HWND dialog, DialogState& state, int id, const std::string& text) {
    state.shown[id] = Widen(text);
    SetDlgItemTextW(dialog, id, state.shown[id].c_str());
}

// The seconds apply only to a display time in seconds.
void EnableSeconds(HWND dialog, TimeMode time) {
    EnableWindow(GetDlgItem(dialog, IDC_SECONDS), time == TimeMode::Seconds);
}

int Selected(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

void Select(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AddItems(HWND dialog, int id, std::initializer_list<const wchar_t*> items) {
    for (const wchar_t* item : items)
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

void FillLists(HWND dialog) {
    AddItems(dialog, IDC_TYPE,
             {L"0: 48x24", L"1: 36x24", L"2: 48x27", L"3: 72x36", L"4: 54x36", L"5: 64x36"});
    // "割合", "ピクセル"
    for (int id : {IDC_X_UNIT, IDC_Y_UNIT})
        AddItems(dialog, id, {L"\u5272\u5408", L"\u30D4\u30AF\u30BB\u30EB"});
    // "左端から", "右端から"; "上端から", "下端から"
    AddItems(dialog, IDC_X_EDGE, {L"\u5DE6\u7AEF\u304B\u3089", L"\u53F3\u7AEF\u304B\u3089"});
    AddItems(dialog, IDC_Y_EDGE, {L"\u4E0A\u7AEF\u304B\u3089", L"\u4E0B\u7AEF\u304B\u3089"});
    // "秒数を指定", "常に表示", "表示しない"
    AddItems(dialog, IDC_TIME,
             {L"\u79D2\u6570\u3092\u6307\u5B9A", L"\u5E38\u306B\u8868\u793A",
              L"\u8868\u793A\u3057\u306A\u3044"});
}

void ShowFields(HWND dialog, DialogState& state) {
    const SettingsFields fields = state.model.Fields();
    state.filling = true;
    SetText(dialog, state, IDC_DIRECTORY, fields.directory);
    Select(dialog, IDC_TYPE, fields.type);
    SetText(dialog, state, IDC_SCALE, fields.scale);
    CheckDlgButton(dialog, IDC_FIXED_SCALE, fields.fixedScale ? BST_CHECKED : BST_UNCHECKED);
    Select(dialog, IDC_X_UNIT, fields.x.pixels ? 1 : 0);
    Select(dialog, IDC_X_EDGE, fields.x.fromFar ? 1 : 0);
    SetText(dialog, state, IDC_X_AMOUNT, fields.x.amount);
    Select(dialog, IDC_Y_UNIT, fields.y.pixels ? 1 : 0);
    Select(dialog, IDC_Y_EDGE, fields.y.fromFar ? 1 : 0);
    SetText(dialog, state, IDC_Y_AMOUNT, fields.y.amount);
    Select(dialog, IDC_TIME, static_cast<int>(fields.time));
    SetText(dialog, state, IDC_SECONDS, fields.seconds);
    EnableSeconds(dialog, fields.time);
    state.filling = false;
}

// What the user entered. A text field the user left as shown keeps its value's bytes; one whose
// text code page 932 cannot hold keeps them too, and its key is named in `unencodable`.
SettingsFields ReadFields(HWND dialog, const DialogState& state,
                          std::vector<std::string>& unencodable) {
    SettingsFields fields = state.model.Fields();
    auto text = [&](int id, std::string& field, const char* key) {
        const std::wstring typed = GetText(dialog, id);
        const auto shown = state.shown.find(id);
        if (shown != state.shown.end() && typed == shown->second) return;
        std::string narrow = Narrow(typed);
        // Characters the code page lacks come back as others ('?', a look-alike).
        if (Widen(narrow) != typed) {
            unencodable.push_back(key);
            return;
        }
        field = std::move(narrow);
    };
    using namespace SettingName;
    text(IDC_DIRECTORY, fields.directory, kLogoDirectory);
    fields.type = Selected(dialog, IDC_TYPE);
    text(IDC_SCALE, fields.scale, kLogoScale);
    fields.fixedScale = IsDlgButtonChecked(dialog, IDC_FIXED_SCALE) == BST_CHECKED;
    fields.x.pixels = Selected(dialog, IDC_X_UNIT) == 1;
    fields.x.fromFar = Selected(dialog, IDC_X_EDGE) == 1;
    text(IDC_X_AMOUNT, fields.x.amount, fields.x.pixels ? kPositionX : kPositionRateX);
    fields.y.pixels = Selected(dialog, IDC_Y_UNIT) == 1;
    fields.y.fromFar = Selected(dialog, IDC_Y_EDGE) == 1;
    text(IDC_Y_AMOUNT, fields.y.amount, fields.y.pixels ? kPositionY : kPositionRateY);
    fields.time = static_cast<TimeMode>(Selected(dialog, IDC_TIME));
    text(IDC_SECONDS, fields.seconds, kDisplaySeconds);
    return fields;
}

// A field changed: the overlay previews what the rules accept.
void Changed(HWND dialog, DialogState& state) {
    std::vector<std::string> unencodable;
    const SettingsFields fields = ReadFields(dialog, state, unencodable);
    EnableSeconds(dialog, fields.time);
    const EditResult result = state.model.Edit(fields);
    if (result.unitChanged) ShowFields(dialog, state);
    state.manager.ApplySettings(state.model.Values());
}

const wchar_t* WriteFailure(SettingsWrite written) {
    switch (written) {
        case SettingsWrite::ReadOnly:
            return kReadOnly;
        case SettingsWrite::Utf16:
            return kUtf16;
        default:
            return kNotWritten;
    }
}

void Close(HWND dialog, DialogState& state, INT_PTR result) {
    if (state.manager.overlayWindow) state.manager.overlayWindow->HoldShown(false);
    RemovePropW(dialog, kStateProperty);
    EndDialog(dialog, result);
}

void Accept(HWND dialog, DialogState& state) {
    std::vector<std::string> unencodable;
    const EditResult result = state.model.Edit(ReadFields(dialog, state, unencodable));
    if (!unencodable.empty() || !result.rejected.empty()) {
        const std::wstring text = unencodable.empty() ? kRejected + Widen(result.rejected.front())
                                                      : kUnencodable + Widen(unencodable.front());
        MessageBoxW(dialog, text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    const SettingChanges changes = state.model.Changes();
    if (!changes.empty()) {
        const SettingsWrite written = WriteSettingChanges(state.manager.settingsFile, changes);
        if (written != SettingsWrite::Written) {
            // The dialog stays open: the user may cancel, or make the file writable and retry.
            MessageBoxW(dialog, WriteFailure(written), kCaption, MB_OK | MB_ICONERROR);
            return;
        }
    }
    state.manager.settingValues = state.model.Values();
    state.manager.ApplySettings(state.model.Values());
    Close(dialog, state, IDOK);
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* state = reinterpret_cast<DialogState*>(lParam);
        SetPropW(dialog, kStateProperty, state);
        FillLists(dialog);
        ShowFields(dialog, *state);
        if (state->manager.overlayWindow) state->manager.overlayWindow->HoldShown(true);
        return TRUE;
    }
    auto* state = static_cast<DialogState*>(GetPropW(dialog, kStateProperty));
    if (!state || message != WM_COMMAND) return FALSE;
    // An exception must not unwind through the dialog's message loop; the command is dropped.
    try {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK) {
            Accept(dialog, *state);
        } else if (id == IDCANCEL) {
            state->manager.ApplySettings(state->model.Initial());
            Close(dialog, *state, IDCANCEL);
        } else if (!state->filling && (code == EN_CHANGE || code == CBN_SELCHANGE ||
                                       (code == BN_CLICKED && id == IDC_FIXED_SCALE))) {
            Changed(dialog, *state);
        }
    } catch (...) {
    }
    return TRUE;
}

}  // namespace

bool ShowSettingsDialog(HWND owner, StreamCallbackManager& manager) {
    DialogState state{manager, SettingsModel(manager.settingValues), false, {}};
    const std::vector<uint32_t> dialogTemplate = SettingsDialogTemplate();
    // 0 (an owner that is no window) and -1 (no dialog) mean it was never shown.
    return DialogBoxIndirectParamW(ModuleInstance(),
                                   reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), owner,
                                   DialogProcedure, reinterpret_cast<LPARAM>(&state)) > 0;
}
