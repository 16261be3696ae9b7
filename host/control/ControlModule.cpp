// The soak's control: a module that the viewer loads, initialises, finalises and unloads, that
// registers both callbacks (so the viewer stand-in streams and delivers events to it as to the
// plug-in) and that does nothing else. Built as the real module is (the same static runtime),
// it shows what the loader, the runtime and the viewer stand-in add over load-unload cycles on
// their own.
#include <windows.h>

#if defined(INSIGNO_CONTROL_LEAK) && defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "Exports.h"
#include "HostProtocol.h"

namespace {

TVTest::HostParam* host = nullptr;

LRESULT CALLBACK OnEvent(UINT, LPARAM, LPARAM, void*) {
    return 1;
}

BOOL CALLBACK OnPacket(BYTE*, void*) {
    return TRUE;
}

void SetStreamCallback(DWORD flags) {
    TVTest::StreamCallbackInfo info{};
    info.size = sizeof info;
    info.flags = flags;
    info.callback = &OnPacket;
    host->messageCallback(host, TVTest::HOST_MSG_SET_STREAM_CALLBACK,
                          reinterpret_cast<LPARAM>(&info), 0);
}

}  // namespace

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

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTInitialize(TVTest::HostParam* param) {
#ifdef INSIGNO_CONTROL_LEAK
    // The soak's test: a module that loses so many bytes each time it is initialised.
    volatile char* lost = new char[INSIGNO_CONTROL_LEAK];
    lost[0] = 1;
#ifdef __SANITIZE_ADDRESS__
    // Lost on purpose: not a finding of the leak checker at the test's end.
    __lsan_ignore_object(const_cast<char*>(lost));
#endif
#endif
    host = param;
    host->messageCallback(host, TVTest::HOST_MSG_SET_EVENT_CALLBACK,
                          reinterpret_cast<LPARAM>(&OnEvent), 0);
    SetStreamCallback(0);
    return TRUE;
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTFinalize() {
    if (host) {
        SetStreamCallback(TVTest::STREAM_CALLBACK_REMOVE);
        host->messageCallback(host, TVTest::HOST_MSG_SET_EVENT_CALLBACK, 0, 0);
    }
    host = nullptr;
    return TRUE;
}
