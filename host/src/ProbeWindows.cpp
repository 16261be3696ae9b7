// On Windows the plug-in's message boxes would wait for a click that never comes in a test run:
// the module's imports of MessageBoxA and MessageBoxW are pointed at recorders instead, which
// keep what would have been shown and answer IDOK at once.

#include <windows.h>

#include <cstring>
#include <mutex>

#include "insigno/host/Probe.h"
#include "insigno/host/Text.h"

namespace insigno::host {
namespace {

std::mutex recordMutex;
std::vector<MessageBoxRecord> recorded;

std::string Utf8FromCodePage(UINT codePage, const char* text) {
    if (!text) return {};
    const int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), length);
    return Utf8FromWide(wide.c_str());
}

void Keep(MessageBoxRecord record) {
    std::lock_guard<std::mutex> lock(recordMutex);
    recorded.push_back(std::move(record));
}

int WINAPI RecordMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    // The plug-in writes its ANSI texts in code page 932 whatever the system's code page is.
    Keep({false, Utf8FromCodePage(932, caption), Utf8FromCodePage(932, text), type,
          owner != nullptr});
    return IDOK;
}

int WINAPI RecordMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    Keep({true, Utf8FromWide(caption), Utf8FromWide(text), type, owner != nullptr});
    return IDOK;
}

bool Patch(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
    return true;
}

}  // namespace

bool RecordMessageBoxes(HMODULE module) {
    if (!module) return false;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return false;
    int patched = 0;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name; ++import) {
        if (_stricmp(reinterpret_cast<const char*>(base + import->Name), "user32.dll") != 0)
            continue;
        if (import->OriginalFirstThunk == 0) continue;  // no names left to match
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const char* name = reinterpret_cast<const char*>(byName->Name);
            ULONG_PTR replacement = 0;
            if (std::strcmp(name, "MessageBoxA") == 0) {
                replacement = reinterpret_cast<ULONG_PTR>(&RecordMessageBoxA);
            } else if (std::strcmp(name, "MessageBoxW") == 0) {
                replacement = reinterpret_cast<ULONG_PTR>(&RecordMessageBoxW);
            }
            if (replacement && Patch(&slots->u1.Function, replacement)) ++patched;
        }
    }
    return patched > 0;
}

std::vector<MessageBoxRecord> TakeMessageBoxes() {
    std::lock_guard<std::mutex> lock(recordMutex);
    std::vector<MessageBoxRecord> out;
    out.swap(recorded);
    return out;
}

}  // namespace insigno::host
