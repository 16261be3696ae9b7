#include <boost/filesystem/operations.hpp>

#include "DurableFile.h"
#include "LogoStore.h"

namespace fs = boost::filesystem;

// Accept, Save and Lookup run on the viewer's stream thread inside its packet callback, where an
// exception would cross into the viewer: every failure, filesystem errors and exhausted memory
// alike, ends here as false.

namespace {

// Removes the temporary file on every way out except a completed rename; the open itself may
// fail after creating it. Only a plain file is removed: an entry of another kind under that
// name was never ours. The path is copied in before the open, so arming cannot fail later.
class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& file) : path(file) {}
    ~TemporaryFile() {
        if (!armed) return;
        boost::system::error_code ignored;
        if (fs::is_regular_file(fs::symlink_status(path, ignored))) fs::remove(path, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    void Renamed() noexcept { armed = false; }

private:
    fs::path path;
    bool armed = true;
};

}  // namespace

bool LogoStore::Accept(const LogoRecord& record) noexcept {
    try {
        const std::string key = MakeKey(record);
        const auto held = logos.find(key);
        if (held != logos.end() && held->second.record.logoVersion == record.logoVersion) {
            return false;
        }
        // Bad bytes must not push the held version aside: the next start would delete them.
        if (!IsWellFormedPng(record.data)) return false;
        // Copied before anything is moved: when memory runs out, the held record and its file
        // stay as they were and the caller does not save.
        Held replacement{record, MakeFileName(record)};
        Replaced undo{key, LogoRecord{}, std::nullopt, {}, {}};
        undo.accepted.originalNetworkId = record.originalNetworkId;
        undo.accepted.logoId = record.logoId;
        undo.accepted.logoVersion = record.logoVersion;
        undo.accepted.logoType = record.logoType;
        if (held == logos.end()) {
            replaced.reset();
            logos.emplace(key, std::move(replacement));
            replaced = std::move(undo);
            return true;
        }
        undo.heldPath = directory / held->second.fileName;
        try {
            MoveAside(undo.heldPath, &undo.movedTo);
        } catch (...) {
            // Treated like a failed rename: the old file keeps its name.
        }
        undo.previous = std::move(held->second);
        held->second = std::move(replacement);
        replaced = std::move(undo);
        return true;
    } catch (...) {
        return false;
    }
}

void LogoStore::RestoreReplaced(const LogoRecord& record) noexcept {
    if (!replaced) return;
    const LogoRecord& accepted = replaced->accepted;
    const bool same = accepted.originalNetworkId == record.originalNetworkId &&
                      accepted.logoId == record.logoId && accepted.logoType == record.logoType &&
                      accepted.logoVersion == record.logoVersion;
    const auto held = logos.find(replaced->key);
    if (same && held != logos.end()) {
        if (!replaced->previous) {
            logos.erase(held);
        } else {
            if (!replaced->movedTo.empty()) {
                boost::system::error_code ignored;
                fs::rename(replaced->movedTo, replaced->heldPath, ignored);
            }
            held->second = std::move(*replaced->previous);
        }
    }
    replaced.reset();
}

bool LogoStore::Save(const LogoRecord& record) noexcept {
    bool saved = false;
    try {
        const std::string fileName = MakeFileName(record);
        const fs::path finalPath = directory / fileName;
        const fs::path temporaryPath = directory / (fileName + kTemporarySuffix);
        TemporaryFile temporary(temporaryPath);
        const uint8_t* data = record.data.data();
        DurableWrite written = WriteDurably(temporaryPath, data, record.data.size());
        if (written == DurableWrite::OpenFailed && !directory.empty() && !fs::exists(directory)) {
            fs::create_directories(directory);
            written = WriteDurably(temporaryPath, data, record.data.size());
        }
        // A short file must never take the logo's name: the next start would delete it.
        if (written == DurableWrite::Written) {
            boost::system::error_code error;
            fs::rename(temporaryPath, finalPath, error);
            if (!error) {
                temporary.Renamed();
                saved = true;
            }
        }
    } catch (...) {
    }
    if (saved) {
        replaced.reset();
    } else {
        RestoreReplaced(record);
    }
    return saved;
}

bool LogoStore::Lookup(uint16_t originalNetworkId, uint16_t logoId, uint8_t logoType,
                       LogoRecord& out) const noexcept {
    try {
        const auto held = logos.find(MakeKey(originalNetworkId, logoId, logoType));
        if (held == logos.end()) return false;
        // Copied aside first, so that running out of memory leaves out unchanged.
        LogoRecord copy = held->second.record;
        out = std::move(copy);
        return true;
    } catch (...) {
        return false;
    }
}
