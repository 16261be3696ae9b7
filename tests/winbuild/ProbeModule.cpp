// A stand-in for the plug-in module with its four entry points, exported the way the plug-in
// exports them, and using what the plug-in uses (libstdc++, exceptions, Boost.Thread, threads,
// Direct3D 9), so that the module checks see the same imports and exports.
#include "plugin/Exports.h"

#include <d3d9.h>
#include <windows.h>
#include <boost/thread/thread.hpp>

#include <atomic>
#include <stdexcept>
#include <string>

namespace {
std::atomic<int> initialised{0};
}

extern "C" INSIGNO_EXPORT DWORD WINAPI TVTGetVersion() {
    return 7;
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTGetPluginInfo(void* info) {
    return info != nullptr;
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTInitialize(void* param) {
    try {
        if (param == nullptr) {
            throw std::invalid_argument("no parameter block");
        }
        boost::thread worker([] { initialised = 1; });
        worker.join();
        IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (d3d != nullptr) {
            d3d->Release();
        }
        return initialised == 1;
    } catch (const std::exception&) {
        return FALSE;
    }
}

extern "C" INSIGNO_EXPORT BOOL WINAPI TVTFinalize() {
    return TRUE;
}

#ifdef PROBE_EXTRA_EXPORT
// A negative probe: one export too many must fail the module check.
extern "C" __declspec(dllexport) int WINAPI ProbeExtra() {
    return 1;
}
#endif
