// Modules over the dynamic loader. A module handle is the address of the module's first
// mapped byte (its ELF header), as an HMODULE is the image base on Windows, so any code can find
// the handle of the module it belongs to from one of its own addresses.
#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>
#include <unistd.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>

#include "Text.h"

namespace {

struct Loaded {
    void* handle;
    unsigned count;
};

// Modules loaded through LoadLibrary, with how often, so that FreeLibrary closes each load once.
std::mutex loadedMutex;
std::map<HMODULE, Loaded>& LoadedModules() {
    static auto* loaded = new std::map<HMODULE, Loaded>;
    return *loaded;
}

HMODULE ModuleContaining(const void* address) {
    Dl_info info;
    if (!address || dladdr(address, &info) == 0) {
        return nullptr;
    }
    return static_cast<HMODULE>(info.dli_fbase);
}

HMODULE Executable() {
    return ModuleContaining(reinterpret_cast<const void*>(getauxval(AT_PHDR)));
}

// The file mapped at `address`, as the kernel names it: absolute and with links resolved, so it
// stays right when the working directory changes after a relative dlopen.
std::string MappedFile(const void* address) {
    auto target = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::istringstream fields(line);
        std::string range, permissions, offset, device, inode, path;
        fields >> range >> permissions >> offset >> device >> inode;
        std::getline(fields >> std::ws, path);
        std::size_t dash = range.find('-');
        if (dash == std::string::npos || path.empty() || path[0] != '/') {
            continue;
        }
        std::uintptr_t start = std::stoull(range.substr(0, dash), nullptr, 16);
        std::uintptr_t end = std::stoull(range.substr(dash + 1), nullptr, 16);
        if (target >= start && target < end) {
            return path;
        }
    }
    return {};
}

HMODULE Load(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        return nullptr;
    }
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) {
        dlclose(handle);
        return nullptr;
    }
    HMODULE module = ModuleContaining(map->l_ld);
    std::lock_guard lock(loadedMutex);
    auto& entry = LoadedModules()[module];
    entry.handle = handle;
    ++entry.count;
    return module;
}

}  // namespace

extern "C" HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    // Modules are not looked up by name here; only the executable's handle is asked for.
    return lpModuleName ? nullptr : Executable();
}

extern "C" BOOL WINAPI GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE* phModule) {
    if (!phModule) {
        return FALSE;
    }
    *phModule = nullptr;
    constexpr DWORD kSupported =
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (dwFlags != kSupported) {
        return FALSE;
    }
    *phModule = ModuleContaining(lpModuleName);
    return *phModule ? TRUE : FALSE;
}

namespace {

// As on Windows: a name that does not fit is cut and terminated, and the size returned.
template <typename Char>
DWORD CopyName(const std::basic_string<Char>& name, Char* out, DWORD size) {
    if (name.size() >= size) {
        std::memcpy(out, name.data(), (size - 1) * sizeof(Char));
        out[size - 1] = 0;
        return size;
    }
    std::memcpy(out, name.c_str(), (name.size() + 1) * sizeof(Char));
    return static_cast<DWORD>(name.size());
}

std::string ModuleFile(HMODULE module) {
    return MappedFile(module ? module : Executable());
}

}  // namespace

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (!lpFilename || nSize == 0) {
        return 0;
    }
    const std::string path = ModuleFile(hModule);
    if (path.empty()) {
        return 0;
    }
    return CopyName(insigno::platform::WideToCp932(insigno::platform::Utf8ToWide(path)), lpFilename,
                    nSize);
}

extern "C" DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    if (!lpFilename || nSize == 0) {
        return 0;
    }
    const std::string path = ModuleFile(hModule);
    if (path.empty()) {
        return 0;
    }
    return CopyName(insigno::platform::Utf8ToWide(path), lpFilename, nSize);
}

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    return lpLibFileName ? Load(insigno::platform::Cp932ToUtf8(lpLibFileName)) : nullptr;
}

extern "C" HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
    return lpLibFileName ? Load(insigno::platform::WideToUtf8(lpLibFileName)) : nullptr;
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    // Exports by ordinal do not exist here.
    if (!hModule || !lpProcName || IS_INTRESOURCE(lpProcName)) {
        return nullptr;
    }
    void* symbol = nullptr;
    {
        std::lock_guard lock(loadedMutex);
        auto it = LoadedModules().find(hModule);
        if (it != LoadedModules().end()) {
            symbol = dlsym(it->second.handle, lpProcName);
            return reinterpret_cast<FARPROC>(symbol);
        }
    }
    // A module not loaded through LoadLibrary: reach it by its file, without loading anything.
    void* handle = hModule == Executable()
                       ? dlopen(nullptr, RTLD_LAZY)
                       : dlopen(MappedFile(hModule).c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle) {
        return nullptr;
    }
    symbol = dlsym(handle, lpProcName);
    dlclose(handle);
    return reinterpret_cast<FARPROC>(symbol);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    void* handle = nullptr;
    {
        std::lock_guard lock(loadedMutex);
        auto it = LoadedModules().find(hLibModule);
        if (it == LoadedModules().end()) {
            return FALSE;
        }
        handle = it->second.handle;
        if (--it->second.count == 0) {
            LoadedModules().erase(it);
        }
    }
    return dlclose(handle) == 0 ? TRUE : FALSE;
}
