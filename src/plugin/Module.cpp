// The module's exports and entry point.

#include "Exports.h"
#include "LogoPlugin.h"
#include "ModuleState.h"

using namespace TVTest;

namespace {

LogoPlugin* plugin = nullptr;

void DestroyPlugin() {
    delete plugin;
    plugin = nullptr;
}

}  // namespace

extern "C" {

INSIGNO_EXPORT DWORD WINAPI TVTGetVersion() {
    return plugin->GetVersion();
}

INSIGNO_EXPORT BOOL WINAPI TVTGetPluginInfo(PluginDescription* info) {
    return plugin->GetPluginInfo(info) ? TRUE : FALSE;
}

INSIGNO_EXPORT BOOL WINAPI TVTInitialize(HostParam* param) {
    // Nothing may unwind into the viewer. Open reports what it can; anything else (memory for the
    // settings, a render thread that cannot start) fails the initialisation. Such a failure
    // happens before the overlay exists or inside its constructor, which removes what it made,
    // and before the callbacks are registered: nothing is left running.
    try {
        plugin->param = param;
        plugin->app = std::make_unique<CTVTestApp>(param);
        return plugin->Initialize() ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

INSIGNO_EXPORT BOOL WINAPI TVTFinalize() {
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
            try {
                plugin = new LogoPlugin;
            } catch (...) {
                return FALSE;
            }
            return TRUE;
        case DLL_PROCESS_DETACH:
            // The loader lock is held here, so a render thread could never be joined. While the
            // overlay runs it holds a reference to this module, so an unload without
            // TVTFinalize cannot bring us here; only the end of the process can, when the
            // system has already ended the thread. Leaving the object to the process's end is
            // then better than hanging the viewer in a join.
            if (plugin && !(reserved != nullptr && plugin->HasRunningOverlay())) DestroyPlugin();
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
