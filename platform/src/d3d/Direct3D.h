// The Direct3D 9 object: makes devices.
#pragma once

#include <d3d9.h>

#include "Registry.h"

namespace insigno::platform {

class Direct3D final : public ComObject<IDirect3D9> {
public:
    HRESULT WINAPI CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                DWORD BehaviorFlags, D3DPRESENT_PARAMETERS* pPresentationParameters,
                                IDirect3DDevice9** ppReturnedDeviceInterface) override;
};

}  // namespace insigno::platform
