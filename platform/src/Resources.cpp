// Icons, cursors and stock objects: inert handles, since nothing is drawn with them.
#include <windows.h>

namespace {

// The system's predefined icon and cursor ids (IDI_*, IDC_*).
constexpr ULONG_PTR kFirstSystemId = 32512;
constexpr ULONG_PTR kLastSystemId = 32651;

template <typename Handle>
Handle SystemResource(HINSTANCE instance, LPCWSTR name, ULONG_PTR base) {
    // Modules carry no resources here; only the system's own can be loaded.
    if (instance || !IS_INTRESOURCE(name)) {
        return nullptr;
    }
    auto id = reinterpret_cast<ULONG_PTR>(name);
    if (id < kFirstSystemId || id > kLastSystemId) {
        return nullptr;
    }
    return reinterpret_cast<Handle>(base + id);
}

}  // namespace

extern "C" HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    return SystemResource<HICON>(hInstance, lpIconName, 0x100000);
}

extern "C" HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
    return SystemResource<HCURSOR>(hInstance, lpCursorName, 0x200000);
}

extern "C" HGDIOBJ WINAPI GetStockObject(int i) {
    if (i < WHITE_BRUSH || i > NULL_BRUSH) {
        return nullptr;
    }
    return reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(0x300000 + i));
}
