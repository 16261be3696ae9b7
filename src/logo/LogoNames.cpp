#include <string_view>

#include "DurableFile.h"
#include "LogoNameLayout.h"

#include "LogoStore.h"

namespace {

LogoNameFields FieldsOf(const LogoRecord& record) {
    return {record.originalNetworkId, record.logoId, record.logoVersion, record.logoType};
}

// Takes 1 to 8 upper-case hexadecimal digits off the front of `text`, as MakeTemporaryName
// writes them.
bool TakeUpperHex(std::string_view& text) {
    size_t count = 0;
    while (count < text.size() && count <= 8 &&
           ((text[count] >= '0' && text[count] <= '9') ||
            (text[count] >= 'A' && text[count] <= 'F'))) {
        ++count;
    }
    if (count == 0 || count > 8) return false;
    text.remove_prefix(count);
    return true;
}

bool TakeChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

}  // namespace

std::string LogoStore::MakeKey(uint16_t originalNetworkId, uint16_t logoId, uint8_t logoType) {
    return FormatLogoName({originalNetworkId, logoId, 0, logoType}, LogoNameForm::Key);
}

std::string LogoStore::MakeKey(const LogoRecord& record) {
    return FormatLogoName(FieldsOf(record), LogoNameForm::Key);
}

std::string LogoStore::MakeFileName(const LogoRecord& record) {
    return FormatLogoName(FieldsOf(record), LogoNameForm::FileName);
}

bool LogoStore::IsLogoFileName(const std::string& name) {
    LogoNameFields ignored;
    return ParseLogoName(name, ignored);
}

std::string LogoStore::MakeTemporaryName(const std::string& fileName) {
    return fileName + TemporaryTag() + kTemporarySuffix;
}

bool LogoStore::IsTemporaryFileName(const std::string& name) {
    LogoNameFields ignored;
    if (name.size() < kLogoFileNameLength ||
        !ParseLogoName(std::string_view(name).substr(0, kLogoFileNameLength), ignored)) {
        return false;
    }
    std::string_view rest = std::string_view(name).substr(kLogoFileNameLength);
    if (rest == kTemporarySuffix) return true;
    return TakeChar(rest, '.') && TakeUpperHex(rest) && TakeChar(rest, '-') && TakeUpperHex(rest) &&
           rest == kTemporarySuffix;
}
