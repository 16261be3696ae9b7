#include "LogoScanRules.h"

#include "LogoNameLayout.h"

bool ParseLogoFileName(const std::string& name, LogoRecord& record) {
    LogoNameFields fields;
    if (!ParseLogoName(name, fields)) return false;
    record.originalNetworkId = fields.originalNetworkId;
    record.logoId = fields.logoId;
    record.logoVersion = fields.logoVersion;
    record.logoType = fields.logoType;
    record.ApplySizeByType();
    return true;
}

bool AsciiFileName(const boost::filesystem::path& path, std::string& name) {
    // A copy: the element filename() makes lives only to the end of its expression.
    const boost::filesystem::path::string_type native = path.filename().native();
    name.clear();
    name.reserve(native.size());
    for (const auto c : native) {
        if (static_cast<unsigned>(c) > 0x7F) return false;
        name.push_back(static_cast<char>(c));
    }
    return true;
}
