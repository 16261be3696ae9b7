#include <boost/filesystem/fstream.hpp>
#include <boost/filesystem/operations.hpp>

#include <algorithm>

#include "LogoScanRules.h"
#include "LogoStore.h"

namespace fs = boost::filesystem;

namespace {

// The entry's name as narrow text when it is plain ASCII, which every logo file name is; other
// names are never converted, so a name the system code page cannot hold cannot fail the scan.
bool AsciiName(const fs::path& path, std::string& name) {
    const fs::path::string_type native = path.filename().native();
    name.clear();
    name.reserve(native.size());
    for (const auto c : native) {
        if (static_cast<unsigned>(c) > 0x7F) return false;
        name.push_back(static_cast<char>(c));
    }
    return true;
}

// Reads whole files, however long. One stream serves the whole scan: constructing a stream for
// each of thousands of small files costs more than reading them.
class FileReader {
public:
    FileReader() {
        // Unbuffered: the bytes go straight into the record, with no copy through a buffer.
        in.rdbuf()->pubsetbuf(nullptr, 0);
    }

    // False when the file cannot be opened or read.
    bool Read(const fs::path& path, std::vector<uint8_t>& bytes) {
        in.clear();
        in.open(path, std::ios::in | std::ios::binary);
        if (!in.is_open()) return false;
        // Into scratch space kept from file to file, then copied at its exact size, so that a
        // held record carries no spare capacity and no size query is needed.
        size_t length = 0;
        for (;;) {
            if (length == scratch.size())
                scratch.resize(std::max<size_t>(scratch.size() * 2, 16384));
            in.read(reinterpret_cast<char*>(scratch.data() + length),
                    static_cast<std::streamsize>(scratch.size() - length));
            length += static_cast<size_t>(in.gcount());
            if (!in) break;
        }
        // A read error is not the file's fault: it stays as it is, like one that cannot be
        // opened, instead of being judged malformed and deleted.
        const bool complete = !in.bad();
        in.close();
        if (!complete) return false;
        bytes.assign(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(length));
        return true;
    }

private:
    fs::ifstream in;
    std::vector<uint8_t> scratch;
};

}  // namespace

void LogoStore::Scan() {
    if (directory.empty()) return;
    if (!fs::exists(directory)) {
        fs::create_directories(directory);
        return;
    }
    std::vector<fs::path> invalidFiles;
    std::vector<fs::path> supersededFiles;
    std::string name;
    FileReader reader;
    for (fs::directory_iterator entry(directory), end; entry != end; ++entry) {
        if (fs::is_directory(entry->status())) continue;
        const fs::path& path = entry->path();
        LogoRecord record;
        if (!AsciiName(path, name) || !ParseLogoFileName(name, record)) continue;
        std::vector<uint8_t> bytes;
        if (!reader.Read(path, bytes)) continue;
        if (!IsWellFormedPng(bytes)) {
            invalidFiles.push_back(path);
            continue;
        }
        record.data = std::move(bytes);
        if (!AddScanned(std::move(record), name)) supersededFiles.push_back(path);
    }
    for (const fs::path& path : invalidFiles) RemoveFile(path);
    for (const fs::path& path : supersededFiles) MoveAside(path);
}

bool LogoStore::AddScanned(LogoRecord record, const std::string& fileName) {
    const std::string key = MakeKey(record);
    const auto held = logos.find(key);
    if (held == logos.end()) {
        logos.emplace(key, Held{std::move(record), fileName});
        return true;
    }
    if (ScanSupersedes(held->second.record.logoVersion, record.logoVersion)) return false;
    // The held file goes by the name it was found under, whatever case its digits have.
    MoveAside(directory / held->second.fileName);
    held->second = Held{std::move(record), fileName};
    return true;
}

bool LogoStore::RemoveFile(const fs::path& path) {
    boost::system::error_code error;
    fs::remove(path, error);
    return !error;
}

bool LogoStore::MoveAside(const fs::path& path, fs::path* movedTo) {
    std::string name = path.filename().string();
    fs::path candidate;
    // Any entry counts as taken, a dangling link too: the rename must not replace it. The test
    // throws on errors other than absence.
    do {
        name += '_';
        candidate = directory / name;
    } while (fs::exists(fs::symlink_status(candidate)));
    boost::system::error_code error;
    fs::rename(path, candidate, error);
    if (error) return false;
    if (movedTo) *movedTo = std::move(candidate);
    return true;
}
