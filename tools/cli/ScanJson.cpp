#include "ScanJson.h"

#include "LogoDirectory.h"
#include "Sha256.h"

namespace {

void Field(std::string& line, const char* name, uint64_t value) {
    line += ",\"";
    line += name;
    line += "\":";
    line += std::to_string(value);
}

void Sha256Field(std::string& line, const std::string& sha256) {
    line += ",\"sha256\":\"";
    line += sha256;
    line += "\"}\n";
}

}  // namespace

void SdtJsonLine(std::string& line, uint64_t packet, uint16_t originalNetworkId,
                 const std::map<uint16_t, ServiceLogoInfo>& services) {
    line = "{\"table\":\"sdt\"";
    Field(line, "packet", packet);
    Field(line, "onid", originalNetworkId);
    line += ",\"services\":[";
    bool first = true;
    for (const auto& [serviceId, info] : services) {
        if (!first) line += ',';
        first = false;
        line += "{\"service_id\":" + std::to_string(serviceId);
        Field(line, "type", info.transmissionType);
        Field(line, "logo_id", info.logoId);
        Field(line, "logo_version", info.logoVersion);
        Field(line, "download_data_id", info.downloadDataId);
        line += '}';
    }
    line += "]}\n";
}

void CdtJsonLine(std::string& line, uint64_t packet, uint16_t downloadDataId,
                 const LogoRecord& logo, const std::string& sha256) {
    line = "{\"table\":\"cdt\"";
    Field(line, "packet", packet);
    Field(line, "onid", logo.originalNetworkId);
    Field(line, "download_data_id", downloadDataId);
    Field(line, "logo_type", logo.logoType);
    Field(line, "logo_id", logo.logoId);
    Field(line, "logo_version", logo.logoVersion);
    Field(line, "width", static_cast<uint64_t>(logo.width));
    Field(line, "height", static_cast<uint64_t>(logo.height));
    Field(line, "size", logo.data.size());
    Sha256Field(line, sha256);
}

void CarouselJsonLine(std::string& line, uint64_t packet, const CarouselLogo& logo,
                      const std::string& sha256) {
    line = "{\"table\":\"carousel\"";
    Field(line, "packet", packet);
    // Module names are LOGO-0N or CS_LOGO-0N: nothing in them needs escaping.
    line += ",\"module\":\"" + logo.moduleName + "\"";
    Field(line, "module_version", logo.moduleVersion);
    Field(line, "logo_type", logo.logoType);
    Field(line, "logo_id", logo.logoId);
    line += ",\"services\":[";
    for (size_t i = 0; i < logo.services.size(); ++i) {
        const CarouselService& service = logo.services[i];
        line += i == 0 ? "{" : ",{";
        line += "\"onid\":" + std::to_string(service.originalNetworkId);
        Field(line, "tsid", service.transportStreamId);
        Field(line, "service_id", service.serviceId);
        line += '}';
    }
    line += ']';
    const LogoSize size = SizeForLogoType(logo.logoType);
    Field(line, "width", static_cast<uint64_t>(size.width));
    Field(line, "height", static_cast<uint64_t>(size.height));
    Field(line, "size", logo.png.size());
    Sha256Field(line, sha256);
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
