// A module that breaks two rules of the viewer, for the stand-in to catch: it calls the viewer's
// message function from a thread of its own, and posts a WM_QUIT to the viewer's thread.
#include <windows.h>

#include <thread>

#include "Exports.h"
#include "HostProtocol.h"

extern "C" INSIGNO_EXPORT DWORD WINAPI TVTGetVersion() {
    return 7;
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTGetPluginInfo(TVTest::PluginDescription* info) {
    info->type = 0;
    info->flags = 0;
    info->name = L"RuleBreaker";
    info->copyright = L"";
    info->description = L"";
    return TRUE;
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTInitialize(TVTest::HostParam* param) {
    std::thread poll([param] { param->messageCallback(param, TVTest::HOST_MSG_GET_ZOOM, 0, 0); });
    poll.join();
    PostQuitMessage(0);
    return TRUE;
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTFinalize() {
    return TRUE;
}
