// A window with a Direct3D 9 device made as the overlay makes it, for the Direct3D tests.
#pragma once

#include <d3d9.h>
#include <gtest/gtest.h>
#include <insigno/platform_test.h>

namespace insigno::platform::test {

class Direct3DTest : public ::testing::Test {
protected:
    void SetUp() override {
        InsignoPlatform_Reset();
        liveBefore = InsignoPlatform_LiveD3DObjects();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = L"Direct3DTest";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
        window = CreateWindowExW(0, L"Direct3DTest", nullptr, WS_OVERLAPPEDWINDOW, 0, 0, 64, 36,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        direct3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(direct3d, nullptr);
    }

    void TearDown() override {
        if (device) {
            device->Release();
        }
        direct3d->Release();
        EXPECT_EQ(InsignoPlatform_LiveD3DObjects(), liveBefore) << "every object was released";
        InsignoPlatform_Reset();
    }

    // Every field zero but the format, swap effect, windowed flag and window.
    D3DPRESENT_PARAMETERS Parameters() const {
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = TRUE;
        parameters.hDeviceWindow = window;
        return parameters;
    }

    HRESULT MakeDevice(D3DDEVTYPE type = D3DDEVTYPE_HAL,
                       DWORD flags = D3DCREATE_HARDWARE_VERTEXPROCESSING) {
        D3DPRESENT_PARAMETERS parameters = Parameters();
        return direct3d->CreateDevice(D3DADAPTER_DEFAULT, type, window, flags, &parameters,
                                      &device);
    }

    std::size_t liveBefore = 0;
    HWND window = nullptr;
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

}  // namespace insigno::platform::test
