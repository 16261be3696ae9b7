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
    bool topDown = false;
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
    d.dsBmih.biHeight = height;
    section->topDown = header.biHeight < 0;
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

extern "C" int WINAPI GetDIBits(HDC /*hdc*/, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                                LPBITMAPINFO lpbmi, UINT usage) {
    std::lock_guard<std::mutex> lock(bitmapsMutex);
    const auto found = bitmaps.find(hbm);
    if (found == bitmaps.end() || !lpvBits || !lpbmi || usage != DIB_RGB_COLORS) return 0;
    const DibSection& source = *found->second;
    const BITMAP& bm = source.description.dsBm;
    const BITMAPINFOHEADER& want = lpbmi->bmiHeader;
    const LONG height = bm.bmHeight;
    if (want.biBitCount != 32 || want.biCompression != BI_RGB || want.biWidth != bm.bmWidth ||
        (want.biHeight != height && want.biHeight != -height) ||
        (bm.bmBitsPixel != 24 && bm.bmBitsPixel != 32) || start != 0 ||
        cLines != static_cast<UINT>(height)) {
        return 0;
    }
    const int bytes = bm.bmBitsPixel / 8;
    auto* out = static_cast<BYTE*>(lpvBits);
    for (LONG y = 0; y < height; ++y) {  // y: rows of the picture, top first
        const LONG sourceRow = source.topDown ? y : height - 1 - y;
        const LONG targetRow = want.biHeight < 0 ? y : height - 1 - y;
        const BYTE* in = source.bits.data() + static_cast<std::size_t>(sourceRow) * bm.bmWidthBytes;
        BYTE* to = out + static_cast<std::size_t>(targetRow) * bm.bmWidth * 4;
        for (LONG x = 0; x < bm.bmWidth; ++x, in += bytes, to += 4) {
            to[0] = in[0];
            to[1] = in[1];
            to[2] = in[2];
            to[3] = bytes == 4 ? in[3] : 0;
        }
    }
    return static_cast<int>(height);
}

extern "C" HDC WINAPI CreateCompatibleDC(HDC /*hdc*/) {
    return reinterpret_cast<HDC>(static_cast<ULONG_PTR>(0x400000));
}

extern "C" BOOL WINAPI DeleteDC(HDC hdc) {
    return hdc != nullptr ? TRUE : FALSE;
}

std::size_t InsignoPlatform_LiveBitmaps() {
    std::lock_guard<std::mutex> lock(bitmapsMutex);
    return bitmaps.size();
}
