#pragma once

// Test support: the store's file layer with eyes. Records which threads call it, can fail one
// kind of step, and runs a hook on the calling thread before each step (to look at the directory
// between two steps, or to hold the writer at a gate).

#include <boost/filesystem.hpp>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "LogoDisk.h"

namespace logo_files {

enum class Step {
    Write,
    Rename,
    SyncDirectory,
    Exists,
    IsDirectory,
    CreateDirectories,
    RemoveFile
};

// How a failing Write fails: the open, part way (half the bytes on disk), or at the flush (all
// bytes on disk, not confirmed).
enum class WriteFault { Open, PartWay, Flush };

class WatchedDisk : public LogoDisk {
public:
    DurableWrite Write(const boost::filesystem::path& path,
                       const std::vector<uint8_t>& bytes) override {
        Enter(Step::Write, path);
        if (failing != Step::Write) return LogoDisk::Write(path, bytes);
        if (writeFault == WriteFault::Open) return DurableWrite::OpenFailed;
        const size_t written = writeFault == WriteFault::PartWay ? bytes.size() / 2 : bytes.size();
        WriteDurably(path, bytes.data(), written);
        return DurableWrite::WriteFailed;
    }
    bool Rename(const boost::filesystem::path& from, const boost::filesystem::path& to,
                bool replace) override {
        Enter(Step::Rename, from);
        return failing != Step::Rename && LogoDisk::Rename(from, to, replace);
    }
    bool SyncDirectory(const boost::filesystem::path& directory) override {
        Enter(Step::SyncDirectory, directory);
        return LogoDisk::SyncDirectory(directory);
    }
    bool Exists(const boost::filesystem::path& path) override {
        Enter(Step::Exists, path);
        return LogoDisk::Exists(path);
    }
    bool IsDirectory(const boost::filesystem::path& path) override {
        Enter(Step::IsDirectory, path);
        return LogoDisk::IsDirectory(path);
    }
    bool CreateDirectories(const boost::filesystem::path& directory) override {
        Enter(Step::CreateDirectories, directory);
        return LogoDisk::CreateDirectories(directory);
    }
    void RemoveFile(const boost::filesystem::path& path) override {
        Enter(Step::RemoveFile, path);
        LogoDisk::RemoveFile(path);
    }

    std::set<std::thread::id> Threads() {
        std::lock_guard<std::mutex> lock(mutex);
        return threads;
    }

    // Holds the next Write until Open(); Reached() waits until the writer stands there.
    void Close() {
        std::lock_guard<std::mutex> lock(mutex);
        gate = Gate::Closed;
    }
    void Reached() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return gate == Gate::Waiting; });
    }
    void Open() {
        std::lock_guard<std::mutex> lock(mutex);
        gate = Gate::Open;
        changed.notify_all();
    }

    std::optional<Step> failing;
    WriteFault writeFault = WriteFault::Flush;
    std::function<void(Step)> before;

private:
    enum class Gate { Open, Closed, Waiting };

    void Enter(Step step, const boost::filesystem::path&) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            threads.insert(std::this_thread::get_id());
            if (step == Step::Write && gate == Gate::Closed) {
                gate = Gate::Waiting;
                changed.notify_all();
                changed.wait(lock, [this] { return gate == Gate::Open; });
            }
        }
        if (before) before(step);
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::set<std::thread::id> threads;
    Gate gate = Gate::Open;
};

}  // namespace logo_files
