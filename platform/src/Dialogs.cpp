// Modal dialogs from an in-memory DLGTEMPLATEEX and the predefined controls they hold.
#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "UserState.h"

using namespace insigno::platform;

namespace {

enum class Kind { Dialog, Button, Edit, Static, ComboBox };

struct Control {
    Kind kind;
    HWND parent;
    int id;
    DWORD style;
    std::wstring text;
    UINT check = BST_UNCHECKED;
    std::vector<std::wstring> items;
    int selection = CB_ERR;
};

struct Dialog {
    DLGPROC procedure;
    bool ended = false;
    INT_PTR result = 0;
};

std::mutex tableMutex;
std::map<HWND, Control> controls;  // every window made here, the dialogs too
std::map<HWND, Dialog> dialogs;

const wchar_t kDialogClass[] = L"#32770";

struct ClassName {
    Kind kind;
    uint16_t atom;
    const wchar_t* name;
};
const ClassName kClasses[] = {{Kind::Button, 0x0080, L"Button"},
                              {Kind::Edit, 0x0081, L"Edit"},
                              {Kind::Static, 0x0082, L"Static"},
                              {Kind::ComboBox, 0x0085, L"ComboBox"}};

void Notify(HWND control, int code) {
    HWND parent = nullptr;
    int id = 0;
    {
        std::lock_guard lock(tableMutex);
        const auto found = controls.find(control);
        if (found == controls.end()) return;
        parent = found->second.parent;
        id = found->second.id;
    }
    if (parent)
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

// The messages every control (and the dialog, for its title) answers; nullopt for the rest.
std::optional<LRESULT> ControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::unique_lock lock(tableMutex);
    const auto found = controls.find(hwnd);
    if (found == controls.end()) return std::nullopt;
    Control& control = found->second;
    switch (message) {
        case WM_SETTEXT:
            control.text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
            if (control.kind == Kind::Edit) {
                lock.unlock();
                Notify(hwnd, EN_CHANGE);
            }
            return TRUE;
        case WM_GETTEXT: {
            if (wParam == 0 || !lParam) return 0;
            const size_t length = std::min<size_t>(control.text.size(), wParam - 1);
            auto* out = reinterpret_cast<LPWSTR>(lParam);
            std::copy_n(control.text.begin(), length, out);
            out[length] = L'\0';
            return static_cast<LRESULT>(length);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(control.text.size());
        case BM_GETCHECK:
            return control.check;
        case BM_SETCHECK:
            control.check = static_cast<UINT>(wParam);
            return 0;
        case BM_CLICK:
            if ((control.style & 0xF) == BS_AUTOCHECKBOX)
                control.check = control.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            lock.unlock();
            Notify(hwnd, BN_CLICKED);
            return 0;
        case CB_ADDSTRING:
            control.items.emplace_back(reinterpret_cast<LPCWSTR>(lParam));
            return static_cast<LRESULT>(control.items.size() - 1);
        case CB_RESETCONTENT:
            control.items.clear();
            control.selection = CB_ERR;
            return 0;
        case CB_GETCOUNT:
            return static_cast<LRESULT>(control.items.size());
        case CB_GETCURSEL:
            return control.selection;
        case CB_SETCURSEL:
            control.selection = wParam < control.items.size() ? static_cast<int>(wParam) : CB_ERR;
            return control.selection;
        case WM_NCDESTROY:
            controls.erase(found);
            dialogs.erase(hwnd);
            return 0;
        default:
            return std::nullopt;
    }
}

LRESULT CALLBACK ControlProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto result = ControlMessage(hwnd, message, wParam, lParam)) return *result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DLGPROC procedure = nullptr;
    {
        std::lock_guard lock(tableMutex);
        const auto found = dialogs.find(hwnd);
        if (found != dialogs.end()) procedure = found->second.procedure;
    }
    if (message != WM_NCDESTROY && procedure && procedure(hwnd, message, wParam, lParam))
        return TRUE;
    // What the default dialog procedure does with the close box.
    if (message == WM_CLOSE) {
        SendMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    if (const auto result = ControlMessage(hwnd, message, wParam, lParam)) return *result;
    return 0;
}

void RegisterClasses() {
    // Already registered from an earlier dialog: RegisterClassW refuses, which is fine.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DialogProcedure;
    windowClass.lpszClassName = kDialogClass;
    RegisterClassW(&windowClass);
    windowClass.lpfnWndProc = ControlProcedure;
    for (const ClassName& name : kClasses) {
        windowClass.lpszClassName = name.name;
        RegisterClassW(&windowClass);
    }
}

// Reads a DLGTEMPLATEEX, word by word.
class TemplateReader {
public:
    explicit TemplateReader(const void* data) : start(static_cast<const uint16_t*>(data)) {}
    uint16_t Word() { return start[at++]; }
    DWORD Dword() {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    std::wstring Text() {
        std::wstring text;
        while (uint16_t c = Word()) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    // A name or an ordinal: the ordinal, or 0 with the name in `text`.
    uint16_t NameOrOrdinal(std::wstring& text) {
        if (start[at] == 0xFFFF) {
            ++at;
            return Word();
        }
        text = Text();
        return 0;
    }
    void Align() { at += at % 2; }
    void Skip(size_t bytes) { at += (bytes + 1) / 2; }

private:
    const uint16_t* start;
    size_t at = 0;
};

// Dialog units to pixels with the base units of a 9-point system font.
int Across(int units) {
    return units * 6 / 4;
}
int Down(int units) {
    return units * 13 / 8;
}

HWND Make(const wchar_t* className, Kind kind, HWND parent, int id, DWORD style, int x, int y,
          int cx, int cy, std::wstring text) {
    HWND hwnd = CreateWindowExW(0, className, nullptr, style, Across(x), Down(y), Across(cx),
                                Down(cy), parent, nullptr, nullptr, nullptr);
    if (!hwnd) return nullptr;
    std::lock_guard lock(tableMutex);
    Control control{kind, parent, id, style, std::move(text), BST_UNCHECKED, {}, CB_ERR};
    controls[hwnd] = std::move(control);
    return hwnd;
}

HWND CreateFromTemplate(LPCDLGTEMPLATEW data, DLGPROC procedure) {
    TemplateReader reader(data);
    if (reader.Word() != 1 || reader.Word() != 0xFFFF) return nullptr;
    reader.Dword();  // help id
    reader.Dword();  // extended style
    const DWORD style = reader.Dword();
    const uint16_t count = reader.Word();
    int16_t box[4];
    for (int16_t& v : box) v = static_cast<int16_t>(reader.Word());
    std::wstring ignored;
    reader.NameOrOrdinal(ignored);  // menu
    reader.NameOrOrdinal(ignored);  // class
    std::wstring title = reader.Text();
    if (style & DS_SETFONT) {
        reader.Word();
        reader.Word();
        reader.Word();
        reader.Text();
    }
    RegisterClasses();
    HWND dialog = Make(kDialogClass, Kind::Dialog, nullptr, 0, style & ~WS_VISIBLE, box[0], box[1],
                       box[2], box[3], std::move(title));
    if (!dialog) return nullptr;
    {
        std::lock_guard lock(tableMutex);
        dialogs[dialog] = Dialog{procedure};
    }
    for (uint16_t i = 0; i < count; ++i) {
        reader.Align();
        reader.Dword();
        reader.Dword();
        const DWORD itemStyle = reader.Dword();
        int16_t item[4];
        for (int16_t& v : item) v = static_cast<int16_t>(reader.Word());
        const int id = static_cast<int>(reader.Dword());
        std::wstring className;
        const uint16_t atom = reader.NameOrOrdinal(className);
        std::wstring text;
        reader.NameOrOrdinal(text);
        reader.Skip(reader.Word());
        const auto known = std::find_if(std::begin(kClasses), std::end(kClasses), [&](auto& c) {
            return atom ? c.atom == atom : className == c.name;
        });
        if (known == std::end(kClasses) ||
            !Make(known->name, known->kind, dialog, id, itemStyle, item[0], item[1], item[2],
                  item[3], std::move(text))) {
            DestroyWindow(dialog);
            return nullptr;
        }
    }
    return dialog;
}

}  // namespace

extern "C" INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW hDialogTemplate,
                                                  HWND hWndParent, DLGPROC lpDialogFunc,
                                                  LPARAM dwInitParam) {
    // Windows answers 0, not -1, for an owner that is no window.
    if (hWndParent && !IsWindow(hWndParent)) return 0;
    if (!hDialogTemplate || !lpDialogFunc) return -1;
    HWND dialog = CreateFromTemplate(hDialogTemplate, lpDialogFunc);
    if (!dialog) return -1;
    SendMessageW(dialog, WM_INITDIALOG, 0, dwInitParam);
    ShowWindow(dialog, SW_SHOW);
    INT_PTR result = 0;
    for (;;) {
        {
            std::lock_guard lock(tableMutex);
            const Dialog& record = dialogs.at(dialog);
            if (record.ended) {
                result = record.result;
                break;
            }
        }
        MSG message{};
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            // The quit request ends the loop and stays for the caller's own loop, as on Windows.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DestroyWindow(dialog);
    return result;
}

extern "C" BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    {
        std::lock_guard lock(tableMutex);
        const auto found = dialogs.find(hDlg);
        if (found == dialogs.end()) return FALSE;
        found->second.ended = true;
        found->second.result = nResult;
    }
    // Hidden at once, destroyed when its modal loop ends.
    ShowWindow(hDlg, SW_HIDE);
    // Wakes the modal loop should it be waiting.
    PostMessageW(hDlg, WM_NULL, 0, 0);
    return TRUE;
}

extern "C" HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    std::lock_guard lock(tableMutex);
    for (const auto& [hwnd, control] : controls)
        if (control.parent == hDlg && control.id == nIDDlgItem) return hwnd;
    return nullptr;
}

extern "C" LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                              LPARAM lParam) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? SendMessageW(control, Msg, wParam, lParam) : 0;
}

extern "C" BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? SetWindowTextW(control, lpString) : FALSE;
}

extern "C" UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    if (!control) {
        if (lpString && cchMax > 0) lpString[0] = L'\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(control, lpString, cchMax));
}

extern "C" BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    return SendDlgItemMessageW(hDlg, nIDButton, BM_SETCHECK, uCheck, 0) == 0 &&
           GetDlgItem(hDlg, nIDButton);
}

extern "C" UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    return static_cast<UINT>(SendDlgItemMessageW(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

extern "C" BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    return IsWindow(hWnd) && SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString));
}

extern "C" int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (!lpString || nMaxCount <= 0) return 0;
    lpString[0] = L'\0';
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

extern "C" BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    std::lock_guard lock(tableMutex);
    const auto control = controls.find(hWnd);
    if (control == controls.end()) return FALSE;
    const bool wasDisabled = (control->second.style & WS_DISABLED) != 0;
    control->second.style = bEnable ? control->second.style & ~static_cast<DWORD>(WS_DISABLED)
                                    : control->second.style | WS_DISABLED;
    return wasDisabled ? TRUE : FALSE;
}

extern "C" BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    {
        std::lock_guard lock(tableMutex);
        const auto control = controls.find(hWnd);
        if (control != controls.end()) return (control->second.style & WS_DISABLED) == 0;
    }
    return IsWindow(hWnd);
}

extern "C" HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
    if (!lpClassName || lpWindowName) return nullptr;
    UserState& state = User();
    Lock lock(state.mutex);
    for (HWND hwnd : state.topLevel) {
        const WindowRecord* window = FindWindow(state, hwnd);
        if (window && !window->destroying && window->className == lpClassName) return hwnd;
    }
    return nullptr;
}
