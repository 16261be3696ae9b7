#include <boost/filesystem/fstream.hpp>
#include <boost/filesystem/operations.hpp>

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
        // Copied before anything is moved: when memory runs out, the held record and its file
        // stay as they were and the caller does not save.
        Held replacement{record, MakeFileName(record)};
        if (held == logos.end()) {
            logos.emplace(key, std::move(replacement));
            return true;
        }
        try {
            MoveAside(directory / held->second.fileName);
        } catch (...) {
            // Treated like a failed rename: the old file keeps its name.
        }
        held->second = std::move(replacement);
        return true;
    } catch (...) {
        return false;
    }
}

bool LogoStore::Save(const LogoRecord& record) noexcept {
    try {
        const std::string fileName = MakeFileName(record);
        const fs::path finalPath = directory / fileName;
        const fs::path temporaryPath = directory / (fileName + kTemporarySuffix);
        TemporaryFile temporary(temporaryPath);
        const auto mode = std::ios::out | std::ios::binary | std::ios::trunc;
        fs::ofstream out(temporaryPath, mode);
        if (!out.is_open()) {
            if (directory.empty() || fs::exists(directory)) return false;
            fs::create_directories(directory);
            out.clear();
            out.open(temporaryPath, mode);
            if (!out.is_open()) return false;
        }
        out.write(reinterpret_cast<const char*>(record.data.data()),
                  static_cast<std::streamsize>(record.data.size()));
        out.flush();
        out.close();
        // A short file must never take the logo's name: the next start would delete it, and
        // the previous version is already moved aside.
        if (out.fail()) return false;
        boost::system::error_code error;
        fs::rename(temporaryPath, finalPath, error);
        if (error) return false;
        temporary.Renamed();
        return true;
    } catch (...) {
        return false;
    }
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
