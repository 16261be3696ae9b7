#include "ViewerLogo.h"

#include <utility>
#include <vector>

#include "RgbaPng.h"

using namespace TVTest;

namespace {

// Deletes the viewer's bitmap on every way out: the plug-in owns the handle.
class OwnedBitmap {
public:
    explicit OwnedBitmap(HBITMAP handle) : bitmap(handle) {}
    ~OwnedBitmap() {
        if (bitmap) DeleteObject(bitmap);
    }
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
    HBITMAP Get() const { return bitmap; }

private:
    HBITMAP bitmap;
};

LPARAM ServiceKey(uint16_t networkId, uint16_t serviceId) {
    return static_cast<LPARAM>(static_cast<DWORD>(networkId) |
                               (static_cast<DWORD>(serviceId) << 16));
}

}  // namespace

bool ViewerHandlesLogos(const CTVTestApp& app) {
    return app.SendHostMessage(HOST_MSG_QUERY_MESSAGE, HOST_MSG_GET_LOGO, 0) != 0;
}

std::optional<LogoRecord> FetchViewerLogo(const CTVTestApp& app, uint16_t networkId,
                                          uint16_t serviceId, uint8_t logoType) {
    const LPARAM key = ServiceKey(networkId, serviceId);
    const LRESULT types = app.SendHostMessage(HOST_MSG_GET_AVAILABLE_LOGO_TYPES, key, 0);
    if (logoType > 5 || (types & (LRESULT{1} << logoType)) == 0) return std::nullopt;
    const OwnedBitmap bitmap(
        reinterpret_cast<HBITMAP>(app.SendHostMessage(HOST_MSG_GET_LOGO, key, logoType)));
    if (!bitmap.Get()) return std::nullopt;
    std::optional<LogoRecord> record = RecordFromBitmap(bitmap.Get(), logoType);
    if (record) record->originalNetworkId = networkId;
    return record;
}

std::optional<LogoRecord> RecordFromBitmap(HBITMAP bitmap, uint8_t logoType) {
    BITMAP header{};
    if (GetObjectW(bitmap, sizeof header, &header) != sizeof header) return std::nullopt;
    const int width = header.bmWidth;
    const int height = header.bmHeight;
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024) return std::nullopt;
    // GetObject tells no row order (its height is positive either way): GetDIBits hands the rows
    // over top first, as 32-bit pixels, whatever the section's depth.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    const HDC context = CreateCompatibleDC(nullptr);
    const int rows = GetDIBits(context, bitmap, 0, static_cast<UINT>(height), rgba.data(), &info,
                               DIB_RGB_COLORS);
    if (context) DeleteDC(context);
    if (rows != height) return std::nullopt;
    bool anyAlpha = false;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        std::swap(rgba[i], rgba[i + 2]);  // blue, green, red to red, green, blue
        anyAlpha = anyAlpha || rgba[i + 3] != 0;
    }
    // GDI leaves the fourth byte of a 32-bit bitmap at zero unless it means alpha.
    if (!anyAlpha)
        for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 0xFF;
    LogoRecord record;
    record.data = EncodeRgbaPng(width, height, rgba);
    if (record.data.empty()) return std::nullopt;
    record.logoType = logoType;
    record.ApplySizeByType();
    return record;
}
