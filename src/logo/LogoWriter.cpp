// The store's writer thread: every file operation of a save happens here, never on the stream
// thread that hands the records over.

#include <boost/thread/locks.hpp>

#include "LogoStore.h"

namespace fs = boost::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Removes the temporary file on every way out except a completed rename; the open itself may
// fail after creating it.
class TemporaryFile {
public:
    TemporaryFile(LogoDisk& files, const fs::path& file) : disk(files), path(file) {}
    ~TemporaryFile() {
        if (!armed) return;
        try {
            disk.RemoveFile(path);
        } catch (...) {
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    void Renamed() noexcept { armed = false; }

private:
    LogoDisk& disk;
    const fs::path& path;
    bool armed = true;
};

// Another viewer saving the same version at the same moment may hold the name (Windows refuses
// to replace a file that is being renamed or read without sharing): its file is this save's.
bool SavedAlike(const fs::path& finalPath, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes, scratch;
    return ReadPlainFile(finalPath, bytes, scratch, data.size()) && bytes == data;
}

}  // namespace

void LogoStore::RunWriter() noexcept {
    boost::mutex::scoped_lock lock(mutex);
    const boost::chrono::seconds period(kRefreshPeriod.count());
    auto nextRefresh = boost::chrono::steady_clock::now() + period;
    for (;;) {
        while (queue.empty() && !stopping && !refreshWanted) {
            if (wake.wait_until(lock, nextRefresh) == boost::cv_status::timeout) {
                refreshWanted = true;
            }
        }
        if (stopping && (queue.empty() || PastFinish())) break;
        if (queue.empty()) {
            refreshWanted = false;
            lock.unlock();
            TakeInSavedElsewhere();
            lock.lock();
            nextRefresh = boost::chrono::steady_clock::now() + period;
            continue;
        }
        // The whole queue at once: while a burst is written, the stream thread finds the lock
        // free instead of meeting the writer at it once per logo.
        writing.swap(queue);
        inWriter = writing.size();
        lock.unlock();
        size_t done = 0;
        for (Job& job : writing) {
            if (PastFinish()) break;
            job.saved = Save(job);
            ++done;
        }
        lock.lock();
        for (size_t index = 0; index < writing.size(); ++index) {
            Job& job = writing[index];
            queuedBytes -= job.Bytes();
            // What the bound left unwritten is not on disk at all; its records go with the store.
            if (index < done && !job.saved) Restore(job);
            if (index < done) NoteSaveResult(job);
            if (!job.saved) failedSince = true;
        }
        writing.clear();
        inWriter = 0;
        if (queue.empty()) finished.notify_all();
    }
    if (!queue.empty()) failedSince = true;
    queue.clear();
    queuedBytes = 0;
    writerEnded = true;
    finished.notify_all();
}

bool LogoStore::PastFinish() const noexcept {
    return Clock::now().time_since_epoch().count() >= finishBy.load();
}

// New version first, flushed, under its own name; only then is the superseded file moved aside,
// so that a crash between any two steps leaves a loadable version for the next start's scan.
bool LogoStore::Save(const Job& job) noexcept {
    try {
        const std::string name = MakeFileName(job.record);
        const fs::path finalPath = directory / name;
        const fs::path temporaryPath = directory / MakeTemporaryName(name);
        TemporaryFile temporary(*disk, temporaryPath);
        DurableWrite written = disk->Write(temporaryPath, job.record.data);
        if (written == DurableWrite::OpenFailed && !directory.empty() &&
            !disk->IsDirectory(directory) && disk->CreateDirectories(directory)) {
            written = disk->Write(temporaryPath, job.record.data);
        }
        // A short file must never take the logo's name: the next start would delete it.
        if (written != DurableWrite::Written) return false;
        if (disk->Rename(temporaryPath, finalPath, true)) {
            temporary.Renamed();
        } else if (!SavedAlike(finalPath, job.record.data)) {
            return false;  // the temporary file goes
        }
        disk->SyncDirectory(directory);
        try {
            MoveAsideSuperseded(job.key, name);
        } catch (...) {
            // The new version is on disk: the save stands, both files stay.
        }
        return true;
    } catch (...) {
        return false;
    }
}

void LogoStore::MoveAsideSuperseded(const std::string& key, const std::string& savedName) {
    const auto held = filesOnDisk.find(key);
    if (held == filesOnDisk.end()) {
        filesOnDisk.emplace(key, savedName);
        return;
    }
    if (held->second != savedName && MoveAside(held->second)) disk->SyncDirectory(directory);
    held->second = savedName;
}

void LogoStore::Restore(Job& job) noexcept {
    const auto held = logos.find(job.key);
    if (held == logos.end() || held->second.logoVersion != job.record.logoVersion) return;
    if (job.replaced) {
        held->second = std::move(*job.replaced);
    } else {
        logos.erase(held);
    }
}

void LogoStore::NoteSaveResult(const Job& job) noexcept {
    try {
        if (job.saved) {
            failedSaves.erase(job.key);
        } else {
            failedSaves[job.key] = {job.record.logoVersion, Clock::now() + kRetryFailedSave};
        }
    } catch (...) {
        // Out of memory: the version is merely tried again at its next repetition.
    }
}

bool LogoStore::Flush() noexcept {
    try {
        boost::mutex::scoped_lock lock(mutex);
        while (!writerEnded && (!queue.empty() || inWriter > 0)) finished.wait(lock);
        const bool allSaved = !failedSince;
        failedSince = false;
        return allSaved;
    } catch (...) {
        return false;
    }
}

void LogoStore::BeginStop(std::chrono::milliseconds bound) noexcept {
    try {
        boost::mutex::scoped_lock lock(mutex);
        if (stopping) return;
        stopping = true;
        finishBy = (Clock::now() + bound).time_since_epoch().count();
    } catch (...) {
    }
    wake.notify_all();
}

void LogoStore::Stop(std::chrono::milliseconds bound) noexcept {
    BeginStop(bound);
    try {
        if (writer.joinable()) writer.join();
    } catch (...) {
    }
}
