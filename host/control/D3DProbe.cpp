// insigno-d3d-probe [COUNT]: what the system's own window and Direct3D 9 calls keep per call,
// the calls the overlay makes in a soak: loading and unloading the Direct3D library (the module
// imports it, so it goes and comes with it), creating and destroying a window, a device, a
// managed texture filled through LockRect, a device reset, a frame drawn with one textured quad
// and presented, showing, moving, timers, posted messages, all of it in one go as one load of the
// module does, and, for comparison with the overlay's earlier design, moves, resets (sent to the
// window's thread) and frames from a thread of its own, each alone and in pairs. Each runs COUNT
// times (default 200) after a warm-up, and the heap's bytes in use and the private bytes are
// printed as growth per 100 calls. Run under Wine it tells Wine's share of a soak's growth from the
// module's. The library is reached through GetProcAddress only, so that this program does not hold
// it.
#include <d3d9.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "insigno/host/ProcessFigures.h"

namespace {

// The Direct3D entry point, from the library loaded by Load.
struct Direct3DLibraries {
    HMODULE d3d9 = nullptr;
    decltype(&Direct3DCreate9) create = nullptr;

    template <typename F>
    static F Find(HMODULE module, const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }
    bool Load() {
        d3d9 = LoadLibraryW(L"d3d9.dll");
        create = Find<decltype(create)>(d3d9, "Direct3DCreate9");
        return create != nullptr;
    }
    void Free() {
        if (d3d9) FreeLibrary(d3d9);
        *this = {};
    }
};
Direct3DLibraries d3d;

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

HWND parent = nullptr;
constexpr UINT MSG_PROBE_RESET = WM_APP + 1;
struct Device;
Device* resettable = nullptr;
int flip = 0;

// A child of a viewer-like top-level window, as the overlay is.
HWND MakeWindow() {
    return CreateWindowExW(0, L"InsignoProbe", L"", WS_CHILD | WS_VISIBLE, 0, 0, 160, 90, parent,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

D3DPRESENT_PARAMETERS Parameters(HWND window, UINT width, UINT height) {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.BackBufferFormat = D3DFMT_UNKNOWN;
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    parameters.hDeviceWindow = window;
    return parameters;
}

struct Device {
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* texture = nullptr;
    explicit Device(HWND window) {
        direct3d = d3d.create(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters = Parameters(window, 160, 90);
        if (direct3d) {
            direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                   D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device);
        }
    }
    ~Device() {
        if (texture) texture->Release();
        if (device) device->Release();
        if (direct3d) direct3d->Release();
    }
};

// A logo-sized texture as the overlay makes it: managed, filled through LockRect.
IDirect3DTexture9* Texture(IDirect3DDevice9* device) {
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(64, 36, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                     nullptr)))
        return nullptr;
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
        for (int y = 0; y < 36; ++y)
            std::memset(static_cast<char*>(locked.pBits) + y * locked.Pitch, 0x80, 64 * 4);
        texture->UnlockRect(0);
    }
    return texture;
}

void Frame(const Device& device) {
    struct Vertex {
        float x, y, z, rhw, u, v;
    };
    const Vertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0, 0},
                            {63.5f, -0.5f, 0, 1, 1, 0},
                            {-0.5f, 35.5f, 0, 1, 0, 1},
                            {63.5f, 35.5f, 0, 1, 1, 1}};
    device.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device.device->BeginScene();
    device.device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device.device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device.device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device.device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device.device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device.device->SetTexture(0, device.texture);
    device.device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
    device.device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    device.device->SetTexture(0, nullptr);
    device.device->EndScene();
    device.device->Present(nullptr, nullptr, nullptr, nullptr);
}

void ResetDevice(Device& device, HWND window);

LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MSG_PROBE_RESET) {
        ResetDevice(*resettable, window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Measure(const char* what, int count, const std::function<void()>& call) {
    for (int i = 0; i < 10; ++i) call();
    Pump();
    const auto before = insigno::host::MeasureProcess();
    for (int i = 0; i < count; ++i) {
        call();
        Pump();
    }
    const auto after = insigno::host::MeasureProcess();
    std::printf(
        "%-10s per 100 calls: %+8lld bytes heap in use, %+8lld KiB private (%d calls; "
        "heap in use %lld KiB, private %lld KiB after)\n",
        what, (after.heapInUse - before.heapInUse) * 100 / count,
        (after.privateBytes - before.privateBytes) * 100 / count / 1024, count,
        after.heapInUse / 1024, after.privateBytes / 1024);
    std::fflush(stdout);
}

void ResetDevice(Device& device, HWND window) {
    D3DPRESENT_PARAMETERS parameters = Parameters(window, 160 + 16 * (++flip % 2), 90);
    device.device->Reset(&parameters);
}

// A thread of the probe: runs one part on the window.
struct PartStart {
    DWORD (*run)(LPVOID);
    HWND window;
};

DWORD WINAPI PartThread(LPVOID data) {
    const auto* start = static_cast<const PartStart*>(data);
    return start->run(start->window);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: insigno-d3d-probe [COUNT]\n");
        return 2;
    }
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"InsignoProbe";
    RegisterClassW(&windowClass);
    parent = CreateWindowExW(0, L"InsignoProbe", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                             360, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);

    if (!d3d.Load()) {
        std::fprintf(stderr, "insigno-d3d-probe: no Direct3D library\n");
        return 1;
    }
    d3d.Free();
    Measure("libraries", count, [] {
        d3d.Load();
        d3d.Free();
    });
    Measure("one load", count, [] {
        d3d.Load();
        HWND window = MakeWindow();
        {
            Device device(window);
            if (device.device) {
                device.texture = Texture(device.device);
                Frame(device);
            }
        }
        DestroyWindow(window);
        d3d.Free();
    });
    d3d.Load();
    Measure("window", count, [] { DestroyWindow(MakeWindow()); });
    HWND window = MakeWindow();
    Measure("device", count, [&] { Device device(window); });
    Device device(window);
    if (!device.device) {
        std::fprintf(stderr, "insigno-d3d-probe: no Direct3D device\n");
        return 1;
    }
    Measure("texture", count, [&] {
        if (IDirect3DTexture9* texture = Texture(device.device)) texture->Release();
    });
    device.texture = Texture(device.device);
    Measure("reset", count, [&] { ResetDevice(device, window); });
    Measure("present", count, [&] { Frame(device); });
    // What the overlay does as the logo comes and goes and the picture changes under it.
    Measure("show/hide", count, [&] {
        ShowWindow(window, SW_HIDE);
        ShowWindow(window, SW_SHOW);
        Frame(device);
    });
    Measure("move", count, [&] {
        SetWindowPos(window, nullptr, flip % 2 ? 16 : 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ++flip;
    });
    Measure("timer", count, [&] {
        SetTimer(window, 0, 1000, nullptr);
        KillTimer(window, 0);
    });
    Measure("post", count, [&] { PostMessageW(window, WM_APP, 0, 0); });
    // As the overlay's render thread once did: draws, moves and resizes the window of another
    // thread, and has that thread reset the device, waiting in SendMessageW.
    resettable = &device;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProbeProcedure));
    // Which of the three it is: each alone, ten times from a new thread.
    struct Part {
        const char* name;
        DWORD (*run)(LPVOID);  // a lambda cannot be WINAPI (stdcall on 32-bit): see PartThread
    };
    static constexpr int kRepeat = 10;
    const Part parts[] = {
        {"other: move",
         [](LPVOID data) -> DWORD {
             for (int i = 0; i < kRepeat; ++i)
                 SetWindowPos(static_cast<HWND>(data), nullptr, 0, 0, 160 + 16 * (i % 2), 90,
                              SWP_NOMOVE | SWP_NOZORDER);
             return 0;
         }},
        {"other: reset",
         [](LPVOID data) -> DWORD {
             for (int i = 0; i < kRepeat; ++i)
                 SendMessageW(static_cast<HWND>(data), MSG_PROBE_RESET, 0, 0);
             return 0;
         }},
        {"other: draw",
         [](LPVOID) -> DWORD {
             for (int i = 0; i < kRepeat; ++i) Frame(*resettable);
             return 0;
         }},
        {"other: move, draw",
         [](LPVOID data) -> DWORD {
             for (int i = 0; i < kRepeat; ++i) {
                 SetWindowPos(static_cast<HWND>(data), nullptr, 0, 0, 160 + 16 * (i % 2), 90,
                              SWP_NOMOVE | SWP_NOZORDER);
                 Frame(*resettable);
             }
             return 0;
         }},
        {"other: reset, draw",
         [](LPVOID data) -> DWORD {
             for (int i = 0; i < kRepeat; ++i) {
                 SendMessageW(static_cast<HWND>(data), MSG_PROBE_RESET, 0, 0);
                 Frame(*resettable);
             }
             return 0;
         }},
        {"other: none", [](LPVOID) -> DWORD { return 0; }},
    };
    // The overlay's own sequence at a change of the picture, all on the window's thread.
    Measure("resize, reset, draw", count, [&] {
        for (int i = 0; i < kRepeat; ++i) {
            SetWindowPos(window, nullptr, 0, 0, 160 + 16 * (i % 2), 90, SWP_NOMOVE | SWP_NOZORDER);
            ResetDevice(device, window);
            Frame(device);
        }
    });
    Measure("move, draw", count, [&] {
        for (int i = 0; i < kRepeat; ++i) {
            SetWindowPos(window, nullptr, 0, 0, 160 + 16 * (i % 2), 90, SWP_NOMOVE | SWP_NOZORDER);
            Frame(device);
        }
    });
    for (const Part& part : parts) {
        Measure(part.name, count, [&] {
            PartStart start{part.run, window};
            HANDLE thread = CreateThread(nullptr, 0, &PartThread, &start, 0, nullptr);
            while (WaitForSingleObject(thread, 1) == WAIT_TIMEOUT) Pump();
            CloseHandle(thread);
        });
    }
    DestroyWindow(window);
    return 0;
}
