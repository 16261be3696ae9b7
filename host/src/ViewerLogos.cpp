#include "insigno/host/ViewerLogos.h"

#include <cstring>

#include "HostProtocol.h"

namespace insigno::host {
namespace {

constexpr UINT QUERY_MESSAGE = TVTest::HOST_MSG_QUERY_MESSAGE;
constexpr UINT GET_LOGO = TVTest::HOST_MSG_GET_LOGO;
constexpr UINT GET_TYPES = TVTest::HOST_MSG_GET_AVAILABLE_LOGO_TYPES;

// The last logo given for the key wins, as a scenario step replaces an earlier one.
const ViewerLogo* Find(const ViewerState& state, LPARAM key, LPARAM type) {
    const ViewerLogo* found = nullptr;
    for (const ViewerLogo& logo : state.viewerLogos) {
        if (logo.networkId == (key & 0xFFFF) && logo.serviceId == ((key >> 16) & 0xFFFF) &&
            logo.type == type) {
            found = &logo;
        }
    }
    return found;
}

HBITMAP NewDibSection(const ViewerLogo& logo) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = logo.width;
    info.bmiHeader.biHeight = logo.height;  // bottom up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    const std::size_t stride = (static_cast<std::size_t>(logo.width) * 24 + 31) / 32 * 4;
    auto* base = static_cast<BYTE*>(bits);
    for (int y = 0; y < logo.height; ++y) {
        BYTE* row = base + stride * static_cast<std::size_t>(logo.height - 1 - y);
        for (int x = 0; x < logo.width; ++x) {
            const std::uint32_t argb = logo.pixels[static_cast<std::size_t>(y) * logo.width + x];
            row[x * 3] = static_cast<BYTE>(argb);
            row[x * 3 + 1] = static_cast<BYTE>(argb >> 8);
            row[x * 3 + 2] = static_cast<BYTE>(argb >> 16);
        }
    }
    return bitmap;
}

}  // namespace

bool AnswersViewerLogos(UINT message, LPARAM lParam1) {
    return message == GET_LOGO || message == GET_TYPES ||
           (message == QUERY_MESSAGE && (lParam1 == GET_LOGO || lParam1 == GET_TYPES));
}

LRESULT AnswerViewerLogos(const ViewerState& state, UINT message, LPARAM lParam1, LPARAM lParam2) {
    if (!state.viewerLogosHandled) return 0;
    if (message == QUERY_MESSAGE) return 1;
    if (message == GET_TYPES) {
        LRESULT types = 0;
        for (LPARAM type = 0; type < 6; ++type)
            if (Find(state, lParam1, type)) types |= LRESULT{1} << type;
        return types;
    }
    const ViewerLogo* logo = Find(state, lParam1, lParam2);
    return logo ? reinterpret_cast<LRESULT>(NewDibSection(*logo)) : 0;
}

}  // namespace insigno::host
