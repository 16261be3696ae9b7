#include "LogoDirectory.h"

#include <algorithm>
#include <map>

#include "DurableFile.h"
#include "LogoScanRules.h"
#include "LogoStore.h"
#include "TextPath.h"

namespace fs = std::filesystem;

std::vector<LogoDirectoryEntry> ReadLogoDirectory(const fs::path& directory) {
    std::vector<LogoDirectoryEntry> entries;
    std::map<std::string, size_t> held;  // key -> index of the entry the scan holds
    // Kept from file to file, as the scan does.
    std::vector<uint8_t> scratch;
    for (const fs::directory_entry& item : fs::directory_iterator(directory)) {
        std::error_code ignored;
        if (item.is_directory(ignored) && !item.is_symlink(ignored)) continue;
        LogoDirectoryEntry entry;
        entry.name = Utf8(item.path().filename());
        entry.logoName = ParseLogoFileName(entry.name, entry.record);
        if (entry.logoName && ReadPlainFile(boost::filesystem::path(item.path().native()),
                                            entry.record.data, scratch, LogoStore::kMaxFileBytes)) {
            if (!LogoStore::IsWellFormedPng(entry.record.data)) {
                entry.action = LogoFileAction::Delete;
            } else {
                const auto [place, added] =
                    held.emplace(LogoStore::MakeKey(entry.record), entries.size());
                LogoDirectoryEntry* previous = added ? nullptr : &entries[place->second];
                if (previous == nullptr) {
                    entry.action = LogoFileAction::Load;
                } else if (ScanSupersedes(previous->record.logoVersion, entry.record.logoVersion)) {
                    entry.action = LogoFileAction::MoveAside;
                } else {
                    previous->action = LogoFileAction::MoveAside;
                    entry.action = LogoFileAction::Load;
                    place->second = entries.size();
                }
            }
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    return entries;
}

const char* ActionName(LogoFileAction action) {
    switch (action) {
        case LogoFileAction::Load:
            return "load";
        case LogoFileAction::MoveAside:
            return "move-aside";
        case LogoFileAction::Delete:
            return "delete";
        case LogoFileAction::Leave:
            break;
    }
    return "leave";
}
