#include "LogoScanRules.h"

#include <charconv>

#include "LogoStore.h"

namespace {

unsigned ParseHex(const std::string& text, size_t offset, size_t length) {
    unsigned value = 0;
    std::from_chars(text.data() + offset, text.data() + offset + length, value, 16);
    return value;
}

}  // namespace

bool ParseLogoFileName(const std::string& name, LogoRecord& record) {
    if (!LogoStore::IsLogoFileName(name)) return false;
    // The pattern fixes the layout: NNNN_III_VVV_TT.
    record.originalNetworkId = static_cast<uint16_t>(ParseHex(name, 0, 4));
    record.logoId = static_cast<uint16_t>(ParseHex(name, 5, 3));
    record.logoVersion = static_cast<uint16_t>(ParseHex(name, 9, 3));
    record.logoType = static_cast<uint8_t>(ParseHex(name, 13, 2));
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
