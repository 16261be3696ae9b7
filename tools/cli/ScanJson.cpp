#include "ScanJson.h"

#include "LogoDirectory.h"
#include "Sha256.h"

std::string SdtJsonLine(uint64_t packet, uint16_t originalNetworkId,
                        const std::map<uint16_t, ServiceLogoInfo>& services) {
    std::string line = "{\"table\":\"sdt\",\"packet\":" + std::to_string(packet) +
                       ",\"onid\":" + std::to_string(originalNetworkId) + ",\"services\":[";
    bool first = true;
    for (const auto& [serviceId, info] : services) {
        if (!first) line += ',';
        first = false;
        line += "{\"service_id\":" + std::to_string(serviceId) +
                ",\"type\":" + std::to_string(info.transmissionType) +
                ",\"logo_id\":" + std::to_string(info.logoId) +
                ",\"logo_version\":" + std::to_string(info.logoVersion) +
                ",\"download_data_id\":" + std::to_string(info.downloadDataId) + "}";
    }
    return line + "]}";
}

std::string CdtJsonLine(uint64_t packet, uint16_t downloadDataId, const LogoRecord& logo) {
    return "{\"table\":\"cdt\",\"packet\":" + std::to_string(packet) +
           ",\"onid\":" + std::to_string(logo.originalNetworkId) +
           ",\"download_data_id\":" + std::to_string(downloadDataId) +
           ",\"logo_type\":" + std::to_string(logo.logoType) +
           ",\"logo_id\":" + std::to_string(logo.logoId) +
           ",\"logo_version\":" + std::to_string(logo.logoVersion) +
           ",\"width\":" + std::to_string(logo.width) +
           ",\"height\":" + std::to_string(logo.height) +
           ",\"size\":" + std::to_string(logo.data.size()) + ",\"sha256\":\"" +
           Sha256Hex(logo.data) + "\"}";
}

namespace {

// A JSON string of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string LogoFileJsonLine(const LogoDirectoryEntry& entry) {
    std::string line = "{\"file\":" + JsonString(entry.name);
    const LogoRecord& logo = entry.record;
    if (entry.logoName) {
        line += ",\"onid\":" + std::to_string(logo.originalNetworkId) +
                ",\"logo_id\":" + std::to_string(logo.logoId) +
                ",\"logo_version\":" + std::to_string(logo.logoVersion) +
                ",\"logo_type\":" + std::to_string(logo.logoType);
    }
    if (entry.action != LogoFileAction::Leave)
        line += ",\"size\":" + std::to_string(logo.data.size());
    return line + ",\"action\":\"" + ActionName(entry.action) + "\"}";
}
