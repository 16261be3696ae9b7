// DIB sections: the bitmaps the viewer hands the plug-in its logos in.
#include <windows.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "insigno/platform_test.h"

namespace {

struct DibSection {
    DIBSECTION description{};
    std::vector<BYTE> bits;
};

std::mutex bitmapsMutex;
std::map<HBITMAP, std::unique_ptr<DibSection>> bitmaps;

bool IsStockObject(HGDIOBJ object) {
    const auto value = reinterpret_cast<ULONG_PTR>(object);
    return value >= 0x300000 + WHITE_BRUSH && value <= 0x300000 + NULL_BRUSH;
}

}  // namespace

extern "C" HBITMAP WINAPI CreateDIBSection(HDC /*hdc*/, const BITMAPINFO* pbmi, UINT usage,
                                           void** ppvBits, HANDLE /*hSection*/, DWORD /*offset*/) {
    if (ppvBits) *ppvBits = nullptr;
    if (!pbmi || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& header = pbmi->bmiHeader;
    const WORD bits = header.biBitCount;
    const bool depthKnown =
        bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB || !depthKnown ||
        header.biWidth <= 0 || height == 0 || header.biWidth > 16384 || height > 16384) {
        return nullptr;
    }
    auto section = std::make_unique<DibSection>();
    const LONG stride = (header.biWidth * bits + 31) / 32 * 4;
    section->bits.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
    DIBSECTION& d = section->description;
    d.dsBm.bmType = 0;
    d.dsBm.bmWidth = header.biWidth;
    d.dsBm.bmHeight = height;
    d.dsBm.bmWidthBytes = stride;
    d.dsBm.bmPlanes = 1;
    d.dsBm.bmBitsPixel = bits;
    d.dsBm.bmBits = section->bits.data();
    d.dsBmih = header;
    d.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
    d.dsBmih.biSizeImage = static_cast<DWORD>(section->bits.size());
    if (ppvBits) *ppvBits = section->bits.data();
    // The section's own address is the handle: unique while it lives.
    const auto handle = reinterpret_cast<HBITMAP>(section.get());
    std::lock_guard<std::mutex> lock(bitmapsMutex);
    bitmaps.emplace(handle, std::move(section));
    return handle;
}

extern "C" BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    if (IsStockObject(ho)) return TRUE;
    std::lock_guard<std::mutex> lock(bitmapsMutex);
    return bitmaps.erase(static_cast<HBITMAP>(ho)) != 0 ? TRUE : FALSE;
}

extern "C" int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    std::lock_guard<std::mutex> lock(bitmapsMutex);
    const auto found = bitmaps.find(static_cast<HBITMAP>(h));
    if (found == bitmaps.end() || !pv) return 0;
    const DIBSECTION& d = found->second->description;
    if (c >= static_cast<int>(sizeof(DIBSECTION))) {
        std::memcpy(pv, &d, sizeof d);
        return sizeof d;
    }
    if (c >= static_cast<int>(sizeof(BITMAP))) {
        std::memcpy(pv, &d.dsBm, sizeof d.dsBm);
        return sizeof d.dsBm;
    }
    return 0;
}

std::size_t InsignoPlatform_LiveBitmaps() {
    std::lock_guard<std::mutex> lock(bitmapsMutex);
    return bitmaps.size();
}
