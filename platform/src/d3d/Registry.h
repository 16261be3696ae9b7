// What Direct3D knows across devices: which device presents to which window, the pictures
// presented so far, the failures that tests ask for, and how many objects are alive.
#pragma once

#include <d3d9.h>
#include <insigno/platform_test.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace insigno::platform {

using Image = InsignoPlatform_Image;

// Bounds on every picture the stand-in allocates (back buffers, decoded images, textures):
// far beyond any logo or video window, far below what would exhaust memory.
constexpr std::uint32_t kMaxDimension = 16384;
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 24;

bool SaneSize(std::uint64_t width, std::uint64_t height);

class Device;

struct Presented {
    Image image;
    unsigned count = 0;
};

struct Direct3DRegistry {
    std::mutex mutex;
    std::map<HWND, Device*> devices;  // the newest device per window
    std::map<HWND, Presented> presented;
    std::set<std::pair<D3DDEVTYPE, DWORD>> failingDevices;
    bool failDirect3DCreate = false;
    std::atomic<std::size_t> live{0};
    // CreateDevice, Reset, TestCooperativeLevel and final device releases made on another thread
    // than the one that owns the device window.
    std::atomic<std::size_t> offThreadDeviceCalls{0};
};

// The thread that owns `window` (0 for no window), and whether the caller is `thread` (never for
// 0). Both take the window table's lock: never call them with the registry's lock held.
DWORD WindowThread(HWND window);
bool OnThread(DWORD thread);

Direct3DRegistry& Registry();

// Reference counting shared by every object; each one counts as alive until its last Release.
template <typename Interface>
class ComObject : public Interface {
public:
    ComObject() { ++Registry().live; }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() { --Registry().live; }

    ULONG WINAPI AddRef() override { return ++references; }
    ULONG WINAPI Release() override {
        ULONG left = --references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    ULONG References() const { return references; }

private:
    std::atomic<ULONG> references{1};
};

}  // namespace insigno::platform
