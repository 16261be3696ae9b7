// The writer thread's reading of logos that other processes saved into the folder while this one
// runs. It only reads: the start-up scan alone deletes or moves files aside, since a file another
// process is handling may look superseded from here.

#include <boost/filesystem/operations.hpp>
#include <boost/thread/locks.hpp>

#include "DurableFile.h"
#include "LogoScanRules.h"
#include "LogoStore.h"

namespace fs = boost::filesystem;

namespace {

struct Found {
    std::string name;
    LogoRecord record;  // ids, version, type and size; no bytes yet
};

}  // namespace

void LogoStore::Refresh() noexcept {
    try {
        boost::mutex::scoped_lock lock(mutex);
        refreshWanted = true;
        failedSaves.clear();
    } catch (...) {
        return;
    }
    wake.notify_all();
}

void LogoStore::SetArrivalHandler(ArrivalHandler handler) {
    boost::mutex::scoped_lock lock(arrivalMutex);
    arrivalHandler = std::move(handler);
}

bool LogoStore::Queued(const std::string& key) const {
    for (const Job& job : queue)
        if (job.key == key) return true;
    return false;
}

void LogoStore::TakeInSavedElsewhere() noexcept {
    if (directory.empty()) return;
    try {
        // The highest version of each key the folder holds, by the start-up scan's rule.
        std::map<std::string, Found> newest;
        boost::system::error_code error;
        for (fs::directory_iterator entry(directory, error), end; !error && entry != end;
             entry.increment(error)) {
            Found found;
            boost::system::error_code unreadable;
            // Links are not followed, and a file too large to be a logo is left alone, as at
            // start-up.
            if (!AsciiFileName(entry->path(), found.name) ||
                !ParseLogoFileName(found.name, found.record) ||
                !fs::is_regular_file(entry->symlink_status(unreadable)) ||
                fs::file_size(entry->path(), unreadable) > kMaxFileBytes || unreadable) {
                continue;
            }
            const std::string key = MakeKey(found.record);
            const auto held = newest.find(key);
            if (held == newest.end()) {
                newest.emplace(key, std::move(found));
            } else if (!ScanSupersedes(held->second.record.logoVersion, found.record.logoVersion)) {
                held->second = std::move(found);
            }
        }
        std::vector<uint8_t> scratch;
        for (auto& [key, found] : newest) {
            {
                boost::mutex::scoped_lock lock(mutex);
                const auto held = logos.find(key);
                if (held != logos.end() &&
                    ScanSupersedes(held->second.logoVersion, found.record.logoVersion)) {
                    continue;
                }
            }
            // Another process renames a complete file into place, so a malformed one is only
            // passed over here; the next start's scan deals with it.
            if (!ReadPlainFile(directory / found.name, found.record.data, scratch, kMaxFileBytes) ||
                !IsWellFormedPng(found.record.data)) {
                continue;
            }
            {
                boost::mutex::scoped_lock lock(mutex);
                const auto held = logos.find(key);
                // A version received meanwhile, or one queued to be written, stays.
                if (stopping || Queued(key) ||
                    (held != logos.end() &&
                     ScanSupersedes(held->second.logoVersion, found.record.logoVersion))) {
                    continue;
                }
                logos[key] = found.record;
                // The writer's own map: a later save of ours moves this file aside.
                filesOnDisk[key] = found.name;
            }
            boost::mutex::scoped_lock lock(arrivalMutex);
            if (arrivalHandler) arrivalHandler(found.record);
        }
    } catch (...) {
        // What could not be read now is read at the next refresh.
    }
}
