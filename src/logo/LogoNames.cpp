#include <atomic>
#include <cstdio>
#include <regex>

#include "DurableFile.h"

#include "LogoStore.h"

std::string LogoStore::MakeKey(uint16_t originalNetworkId, uint16_t logoId, uint8_t logoType) {
    char text[32];
    std::snprintf(text, sizeof text, "%04X_%03X_%02X", static_cast<unsigned>(originalNetworkId),
                  static_cast<unsigned>(logoId), static_cast<unsigned>(logoType));
    return text;
}

std::string LogoStore::MakeKey(const LogoRecord& record) {
    return MakeKey(record.originalNetworkId, record.logoId, record.logoType);
}

std::string LogoStore::MakeFileName(const LogoRecord& record) {
    char text[40];
    std::snprintf(text, sizeof text, "%04X_%03X_%03X_%02X",
                  static_cast<unsigned>(record.originalNetworkId),
                  static_cast<unsigned>(record.logoId), static_cast<unsigned>(record.logoVersion),
                  static_cast<unsigned>(record.logoType));
    return text;
}

bool LogoStore::IsLogoFileName(const std::string& name) {
    static const std::regex pattern(
        "^([0-9a-fA-F]{4})_([0-9a-fA-F]{3})_([0-9a-fA-F]{3})_([0-9a-fA-F]{2})$",
        std::regex::ECMAScript);
    return std::regex_match(name, pattern);
}

std::string LogoStore::MakeTemporaryName(const std::string& fileName) {
    static std::atomic<uint32_t> saves{0};
    char text[32];
    std::snprintf(text, sizeof text, ".%X-%X", static_cast<unsigned>(CurrentProcessId()),
                  static_cast<unsigned>(saves.fetch_add(1) + 1));
    return fileName + text + kTemporarySuffix;
}

bool LogoStore::IsTemporaryFileName(const std::string& name) {
    static const std::regex pattern(
        "^[0-9a-fA-F]{4}_[0-9a-fA-F]{3}_[0-9a-fA-F]{3}_[0-9a-fA-F]{2}"
        "(\\.[0-9A-F]{1,8}-[0-9A-F]{1,8})?\\.tmp$",
        std::regex::ECMAScript);
    return std::regex_match(name, pattern);
}
