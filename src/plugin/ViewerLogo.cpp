#include "ViewerLogo.h"

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
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) != sizeof section) return std::nullopt;
    const BITMAPINFOHEADER& header = section.dsBmih;
    const int bits = header.biBitCount;
    const int width = header.biWidth;
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    if (!section.dsBm.bmBits || header.biCompression != BI_RGB || (bits != 24 && bits != 32) ||
        width <= 0 || height <= 0 || width > 1024 || height > 1024) {
        return std::nullopt;
    }
    // Rows of a DIB are padded to whole 32-bit words; a positive height stores them bottom up.
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    const auto* base = static_cast<const uint8_t*>(section.dsBm.bmBits);
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row =
            base + stride * static_cast<size_t>(header.biHeight < 0 ? y : height - 1 - y);
        uint8_t* out = rgba.data() + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x, row += bits / 8, out += 4) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
            out[3] = bits == 32 ? row[3] : 0xFF;
            anyAlpha = anyAlpha || out[3] != 0;
        }
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
