#include <thread>

#include "Direct3DTestSupport.h"

namespace insigno::platform::test {
namespace {

using DeviceTest = Direct3DTest;

TEST_F(DeviceTest, ChosenCreationAttemptsFailAndOthersSucceed) {
    InsignoPlatform_FailDeviceCreation(D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING);
    InsignoPlatform_FailDeviceCreation(D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    EXPECT_TRUE(FAILED(MakeDevice(D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING)));
    EXPECT_EQ(device, nullptr);
    EXPECT_TRUE(FAILED(MakeDevice(D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING)));
    EXPECT_EQ(InsignoPlatform_Device(window), std::nullopt);

    ASSERT_EQ(MakeDevice(D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING), D3D_OK);
    auto info = InsignoPlatform_Device(window);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->type, D3DDEVTYPE_REF);
    EXPECT_EQ(info->behaviorFlags, static_cast<DWORD>(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
}

TEST_F(DeviceTest, Direct3DCreate9FailsForAnotherSdkVersionOrWhenTold) {
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    InsignoPlatform_FailDirect3DCreate9(true);
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
}

TEST_F(DeviceTest, AZeroBackBufferTakesTheClientSizeAtCreationAndAtEachReset) {
    D3DPRESENT_PARAMETERS parameters = Parameters();
    ASSERT_EQ(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
              D3D_OK);
    EXPECT_EQ(parameters.BackBufferWidth, 64u);
    EXPECT_EQ(parameters.BackBufferHeight, 36u);

    SetWindowPos(window, nullptr, 0, 0, 72, 40, SWP_NOMOVE | SWP_NOZORDER);
    D3DPRESENT_PARAMETERS again = Parameters();
    ASSERT_EQ(device->Reset(&again), D3D_OK);
    auto info = InsignoPlatform_Device(window);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->backBufferWidth, 72u);
    EXPECT_EQ(info->backBufferHeight, 40u);
    EXPECT_EQ(info->resets, 1u);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00808080, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    auto image = InsignoPlatform_PresentedImage(window);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 72);
    EXPECT_EQ(image->height, 40);
    EXPECT_EQ(image->At(71, 39), 0x00808080u);
    EXPECT_EQ(InsignoPlatform_PresentCount(window), 1u);
    // The picture goes with its window.
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(InsignoPlatform_PresentedImage(window));
}

TEST_F(DeviceTest, AnAbsurdWindowSizeGetsNoBackBuffer) {
    SetWindowPos(window, nullptr, 0, 0, 100000, 100000, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(FAILED(MakeDevice()));
    EXPECT_EQ(device, nullptr);
}

TEST_F(DeviceTest, ALostDeviceRefusesToPresentUntilAllowedAndReset) {
    ASSERT_EQ(MakeDevice(), D3D_OK);
    ASSERT_TRUE(InsignoPlatform_LoseDevice(window));

    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS parameters = Parameters();
    EXPECT_EQ(device->Reset(&parameters), D3DERR_DEVICELOST);

    ASSERT_TRUE(InsignoPlatform_AllowDeviceReset(window));
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);

    parameters = Parameters();
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(InsignoPlatform_PresentCount(window), 1u);
}

TEST_F(DeviceTest, CallsOnlyTheWindowsThreadMayMakeAreCountedElsewhere) {
    ASSERT_EQ(MakeDevice(), D3D_OK);
    device->TestCooperativeLevel();
    EXPECT_EQ(InsignoPlatform_OffThreadDeviceCalls(), 0u);
    std::thread([this] {
        device->TestCooperativeLevel();
        D3DPRESENT_PARAMETERS parameters = Parameters();
        device->Reset(&parameters);
        device->BeginScene();  // drawing is any thread's
        device->EndScene();
    }).join();
    EXPECT_EQ(InsignoPlatform_OffThreadDeviceCalls(), 2u);
}

TEST_F(DeviceTest, ScenesNestNeitherWithThemselvesNorWithPresent) {
    ASSERT_EQ(MakeDevice(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(DeviceTest, ObjectsLiveUntilTheirLastReleaseAndKeepTheirDeviceAlive) {
    ASSERT_EQ(MakeDevice(), D3D_OK);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3D_OK);
    EXPECT_EQ(device->AddRef(), 3u) << "the caller's, the texture's and this one";
    EXPECT_EQ(device->Release(), 2u);
    EXPECT_EQ(device->Release(), 1u);
    device = nullptr;
    EXPECT_TRUE(InsignoPlatform_Device(window)) << "the texture still holds the device";
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_FALSE(InsignoPlatform_Device(window));
    EXPECT_EQ(InsignoPlatform_LiveD3DObjects(), liveBefore + 1) << "only the Direct3D object";
    EXPECT_EQ(InsignoPlatform_OffThreadDeviceCalls(), 0u);
}

}  // namespace
}  // namespace insigno::platform::test
