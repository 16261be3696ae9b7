// The module's exports and entry point.

#include "Exports.h"
#include "LogoPlugin.h"
#include "ModuleState.h"

using namespace TVTest;

#if defined(_WIN32) && defined(__GLIBCXX__)
// The statically linked libstdc++ allocates its emergency pool for exceptions (about 73 KiB) from
// the process's heap and never frees it: released on an unload, or every cycle would keep one.
namespace __gnu_cxx {
void __freeres() noexcept;
}
#endif

namespace {

LogoPlugin* plugin = nullptr;
// Whether TVTInitialize succeeded on the current object (until TVTFinalize).
bool initialized = false;

bool CreatePlugin() noexcept {
    try {
        plugin = new LogoPlugin;
    } catch (...) {
        plugin = nullptr;
    }
    return plugin != nullptr;
}

void DestroyPlugin() {
    delete plugin;
    plugin = nullptr;
    initialized = false;
}

// The object the exports talk to. TVTFinalize destroys it, yet a viewer may go on calling the
// exports of the same load (initialising again): the module then
// answers as a freshly loaded one, with a new object. Null only when memory for it is lacking.
LogoPlugin* Plugin() noexcept {
    if (!plugin) CreatePlugin();
    return plugin;
}

#ifdef _WIN32
// The statically linked runtime keeps data for each thread that used it until that thread ends
// (winpthreads: a duplicated thread handle and an event for a thread it did not start; Boost and
// thread_local destructors likewise), released by the module's TLS callbacks on thread detach.
// The viewer's thread outlives an unload and Windows sends no thread detach then, so each
// load-unload cycle would leave them behind: the unloading thread leaves the module here.
void LeaveThisThread(HINSTANCE instance) {
    const auto* base = reinterpret_cast<const BYTE*>(instance);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
    if (entry.VirtualAddress == 0) return;
    const auto* tls = reinterpret_cast<const IMAGE_TLS_DIRECTORY*>(base + entry.VirtualAddress);
    for (auto* callback = reinterpret_cast<const PIMAGE_TLS_CALLBACK*>(tls->AddressOfCallBacks);
         callback && *callback; ++callback) {
        (*callback)(instance, DLL_THREAD_DETACH, nullptr);
    }
}
#endif

}  // namespace

extern "C" {

// Neither needs the object: they answer alike before, between and after initialisations.
INSIGNO_EXPORT DWORD WINAPI TVTGetVersion() {
    return LogoPlugin::kInterfaceVersion;
}

INSIGNO_EXPORT BOOL WINAPI TVTGetPluginInfo(PluginDescription* info) {
    if (!info) return FALSE;
    LogoPlugin::Describe(*info);
    return TRUE;
}

INSIGNO_EXPORT BOOL WINAPI TVTInitialize(HostParam* param) {
    // A second initialisation of a running plug-in would register its callbacks twice and
    // replace the overlay under the render thread: refused, nothing touched.
    if (initialized) return FALSE;
    LogoPlugin* object = Plugin();
    if (!object) return FALSE;
    // Nothing may unwind into the viewer. Open reports what it can; anything else (memory for the
    // settings, a render thread that cannot start) fails the initialisation. Such a failure
    // happens before the overlay exists or inside its constructor, which removes what it made,
    // and before the callbacks are registered: nothing is left running.
    try {
        object->param = param;
        object->app = std::make_unique<CTVTestApp>(param);
        initialized = object->Initialize();
    } catch (...) {
        initialized = false;
    }
    return initialized ? TRUE : FALSE;
}

INSIGNO_EXPORT BOOL WINAPI TVTFinalize() {
    // Twice in a row: there is nothing left to finalise.
    if (!plugin) return FALSE;
    bool result = false;
    try {
        result = plugin->Finalize();
    } catch (...) {
    }
    // First out of the viewer's reach, then torn down.
    plugin->RemoveCallbacks();
    DestroyPlugin();
    return result ? TRUE : FALSE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            SetModuleInstance(instance);
            return CreatePlugin() ? TRUE : FALSE;
        case DLL_PROCESS_DETACH:
            // The loader lock is held here, so neither the render thread nor the store's writer
            // could ever be joined. While they run (after a successful initialisation) they hold
            // a reference to this module, so an unload without TVTFinalize cannot bring us here;
            // only the end of the process can, when the system has already ended the threads.
            // Leaving the object to the process's end is then better than hanging the viewer in
            // a join. A failed initialisation stops the writer before it returns.
            if (plugin && !(reserved != nullptr && plugin->HasRunningThreads())) DestroyPlugin();
#ifdef _WIN32
            if (reserved == nullptr) {
                LeaveThisThread(instance);
#ifdef __GLIBCXX__
                __gnu_cxx::__freeres();
#endif
            }
#endif
            return TRUE;
        default:
            return TRUE;
    }
}

}  // extern "C"

#ifndef _WIN32
// A shared object has no DllMain; its load and unload run the same code.
namespace {

__attribute__((constructor)) void OnLoad() {
    HMODULE instance = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&OnLoad), &instance);
    DllMain(instance, DLL_PROCESS_ATTACH, nullptr);
}

// A dynamic unload cannot reach this while the overlay runs (it holds a module reference); the
// process's end can, and here, unlike on Windows, every thread is still alive and the loader
// lock is released by then, so the overlay's thread is stopped and joined as in TVTFinalize.
__attribute__((destructor)) void OnUnload() {
    DllMain(ModuleInstance(), DLL_PROCESS_DETACH, nullptr);
}

}  // namespace
#endif
