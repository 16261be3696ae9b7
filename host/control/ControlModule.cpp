// The soak's control: a module that the viewer can load, initialise, finalise and unload, and
// that does nothing else. Built as the real module is (the same static runtime), it shows what
// the loader, the runtime and the viewer stand-in add over load-unload cycles on their own.
#include <windows.h>

#include "Exports.h"
#include "HostProtocol.h"

extern "C" INSIGNO_EXPORT DWORD WINAPI TVTGetVersion() {
    return 7;
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTGetPluginInfo(TVTest::PluginDescription* info) {
    info->type = 0;
    info->flags = 0;
    info->name = L"Control";
    info->copyright = L"";
    info->description = L"";
    return TRUE;
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTInitialize(TVTest::HostParam*) {
    return TRUE;
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTFinalize() {
    return TRUE;
}
