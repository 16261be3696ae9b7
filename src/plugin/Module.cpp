// The module's exports and entry point.

#include <new>

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

INSIGNO_EXPORT DWORD WINAPI TVTGetVersion() { return plugin->GetVersion(); }

INSIGNO_EXPORT BOOL WINAPI TVTGetPluginInfo(PluginDescription* info) {
    return plugin->GetPluginInfo(info) ? TRUE : FALSE;
}

INSIGNO_EXPORT BOOL WINAPI TVTInitialize(HostParam* param) {
    plugin->param = param;
    plugin->app = std::make_unique<CTVTestApp>(param);
    return plugin->Initialize() ? TRUE : FALSE;
}

INSIGNO_EXPORT BOOL WINAPI TVTFinalize() {
    const bool result = plugin->Finalize();
    DestroyPlugin();
    return result ? TRUE : FALSE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            SetModuleInstance(instance);
            plugin = new (std::nothrow) LogoPlugin;
            return plugin ? TRUE : FALSE;
        case DLL_PROCESS_DETACH:
            // Here the loader lock is held: the overlay's render thread could never be joined,
            // and at process exit it has been killed already. While it runs, the overlay holds
            // a module reference, so a plain unload cannot bring us here; only process exit
            // can, and then the object is left to the end of the process rather than hanging.
            if (plugin && !plugin->HasRunningOverlay()) DestroyPlugin();
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
    DllMain(ModuleHandleOfThisObject(), DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) void OnUnload() {
    DllMain(ModuleInstance(), DLL_PROCESS_DETACH, nullptr);
}

}  // namespace
#endif
