#include <boost/filesystem/operations.hpp>

#include "DurableFile.h"
#include "LogoScanRules.h"
#include "LogoStore.h"

namespace fs = boost::filesystem;

namespace {

// A temporary file another viewer on the folder writes now is young; one a crashed writer left
// is old. A time in the future (a clock set back) counts as young.
bool IsStaleTemporary(const fs::path& path, const std::string& name) {
    if (!LogoStore::IsTemporaryFileName(name)) return false;
    boost::system::error_code error;
    const std::time_t written = fs::last_write_time(path, error);
    if (error || !fs::is_regular_file(fs::symlink_status(path, error))) return false;
    const auto age =
        std::chrono::system_clock::now() - std::chrono::system_clock::from_time_t(written);
    return age > LogoStore::kStaleTemporaryAge;
}

}  // namespace

void LogoStore::Scan() {
    if (directory.empty()) return;
    if (!fs::exists(directory)) {
        fs::create_directories(directory);
        return;
    }
    std::vector<fs::path> invalidFiles;
    std::vector<fs::path> supersededFiles;
    std::vector<fs::path> staleTemporaries;
    std::string name;
    // Kept from file to file: a held record then carries no spare capacity, and no size query
    // is needed. Opened by native (wide) path, like every other file of the store.
    std::vector<uint8_t> scratch;
    for (fs::directory_iterator entry(directory), end; entry != end; ++entry) {
        const fs::path& path = entry->path();
        LogoRecord record;
        if (!AsciiFileName(path, name)) continue;
        if (IsStaleTemporary(path, name)) staleTemporaries.push_back(path);
        if (!ParseLogoFileName(name, record)) continue;
        std::vector<uint8_t> bytes;
        // Only plain files of a logo's size are read, never through a link: any other entry of
        // the name (a directory, a link, a FIFO, one whose type cannot even be told) and a file
        // that cannot be read stay as they are.
        if (!ReadPlainFile(path, bytes, scratch, kMaxFileBytes)) continue;
        if (!IsWellFormedPng(bytes)) {
            invalidFiles.push_back(path);
            continue;
        }
        record.data = std::move(bytes);
        if (!AddScanned(std::move(record), name)) supersededFiles.push_back(path);
    }
    for (const fs::path& path : invalidFiles) RemoveFile(path);
    for (const fs::path& path : staleTemporaries) RemoveFile(path);
    for (const fs::path& path : supersededFiles) MoveAside(path.filename().string());
}

bool LogoStore::AddScanned(LogoRecord record, const std::string& fileName) {
    const std::string key = MakeKey(record);
    const auto held = logos.find(key);
    if (held == logos.end()) {
        filesOnDisk[key] = fileName;
        logos.emplace(key, std::move(record));
        return true;
    }
    if (ScanSupersedes(held->second.logoVersion, record.logoVersion)) return false;
    // The held file goes by the name it was found under, whatever case its digits have.
    std::string& heldName = filesOnDisk[key];
    MoveAside(heldName);
    heldName = fileName;
    held->second = std::move(record);
    return true;
}

bool LogoStore::RemoveFile(const fs::path& path) {
    boost::system::error_code error;
    fs::remove(path, error);
    return !error;
}

bool LogoStore::MoveAside(const std::string& name) {
    std::string aside = name;
    fs::path candidate;
    // Any entry counts as taken, a dangling link too: the rename must not replace it.
    do {
        aside += '_';
        candidate = directory / aside;
    } while (disk->Exists(candidate));
    return disk->Rename(directory / name, candidate, false);
}
