#include "Direct3D.h"

#include <windows.h>

#include "Device.h"

namespace insigno::platform {

HRESULT WINAPI Direct3D::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                      DWORD BehaviorFlags,
                                      D3DPRESENT_PARAMETERS* pPresentationParameters,
                                      IDirect3DDevice9** ppReturnedDeviceInterface) {
    if (!ppReturnedDeviceInterface || !pPresentationParameters) {
        return D3DERR_INVALIDCALL;
    }
    *ppReturnedDeviceInterface = nullptr;
    if (Adapter != D3DADAPTER_DEFAULT ||
        (DeviceType != D3DDEVTYPE_HAL && DeviceType != D3DDEVTYPE_REF)) {
        return D3DERR_INVALIDCALL;
    }
    constexpr DWORD kVertexProcessing = D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                        D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                        D3DCREATE_MIXED_VERTEXPROCESSING;
    DWORD vertexProcessing = BehaviorFlags & kVertexProcessing;
    if (vertexProcessing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
        vertexProcessing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
        vertexProcessing != D3DCREATE_MIXED_VERTEXPROCESSING) {
        return D3DERR_INVALIDCALL;
    }
    {
        Direct3DRegistry& registry = Registry();
        std::lock_guard lock(registry.mutex);
        if (registry.failingDevices.count({DeviceType, vertexProcessing})) {
            return D3DERR_NOTAVAILABLE;
        }
    }
    if (!OnThread(WindowThread(hFocusWindow))) {
        ++Registry().offThreadDeviceCalls;
    }
    D3DPRESENT_PARAMETERS parameters = *pPresentationParameters;
    if (HRESULT hr = ResolvePresentParameters(parameters, hFocusWindow); FAILED(hr)) {
        return hr;
    }
    *pPresentationParameters = parameters;
    *ppReturnedDeviceInterface = new Device(this, DeviceType, BehaviorFlags,
                                            DeviceWindow(parameters, hFocusWindow), parameters);
    return D3D_OK;
}

}  // namespace insigno::platform

extern "C" IDirect3D9* WINAPI Direct3DCreate9(UINT SDKVersion) {
    using namespace insigno::platform;
    if (SDKVersion != D3D_SDK_VERSION) {
        return nullptr;
    }
    {
        Direct3DRegistry& registry = Registry();
        std::lock_guard lock(registry.mutex);
        if (registry.failDirect3DCreate) {
            return nullptr;
        }
    }
    return new Direct3D;
}
