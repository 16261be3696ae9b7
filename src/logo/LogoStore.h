#pragma once

#include <boost/filesystem/path.hpp>
#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "LogoDisk.h"
#include "LogoRecord.h"

// How much the store's hand-over queue holds: a burst of a few hundred logos of the largest size
// a section can carry, each with the version it replaces (kept to restore it).
struct LogoQueueLimits {
    size_t records = 512;
    size_t bytes = 4u << 20;
};

// The logo directory and the logos held in memory: one record per (network id, logo id, logo
// type), the highest version found at start-up, replaced by every other version received later.
//
// Construction resolves and scans the directory, then starts the writer thread; filesystem
// errors of that scan leave the constructor as boost::filesystem::filesystem_error, whose what()
// begins with the failed operation's name and ": " (for example
// "boost::filesystem::directory_iterator::construct: "). After construction no operation throws.
//
// Accept and Lookup run on the viewer's stream thread: they work in memory only and never touch
// the file system. Every file operation of a save runs on the store's own writer thread, which
// takes the records Accept hands over through a bounded queue.
class LogoStore {
public:
    using QueueLimits = LogoQueueLimits;
    // How long finalisation gives the writer to finish what is queued.
    static constexpr std::chrono::milliseconds kFinishBound{2000};

    // directorySetting: the LogoDirectory setting; a relative path is taken from baseDirectory
    // (the module's directory). An empty setting gives a store without a directory. `disk` does
    // the writer's file operations (null: the real file system).
    LogoStore(const boost::filesystem::path& directorySetting,
              const boost::filesystem::path& baseDirectory, std::shared_ptr<LogoDisk> disk = {},
              QueueLimits limits = {});
    // Stops the writer as Stop() does.
    ~LogoStore();

    LogoStore(const LogoStore&) = delete;
    LogoStore& operator=(const LogoStore&) = delete;

    // "NNNN_III_TT": upper-case hexadecimal, zero-padded to minimum widths, never cut.
    static std::string MakeKey(uint16_t originalNetworkId, uint16_t logoId, uint8_t logoType);
    static std::string MakeKey(const LogoRecord& record);
    // "NNNN_III_VVV_TT", no extension.
    static std::string MakeFileName(const LogoRecord& record);
    // True when the whole name (no directory) has the logo file-name form; either case of
    // hexadecimal digit is accepted.
    static bool IsLogoFileName(const std::string& name);
    // PNG signature, then whole chunks with correct CRC-32 up to the last byte, the first of
    // them (when there is any) a 13-byte IHDR, behind which the overlay puts the palette.
    static bool IsWellFormedPng(const std::vector<uint8_t>& bytes);
    // The largest logo a broadcast can carry: the CDT and the carousel's logo modules give its
    // size in a 16-bit field. A larger file in the folder is no logo (left alone, not read) and
    // a larger record is refused.
    static constexpr size_t kMaxFileBytes = 0xFFFF;

    // Takes in a received logo and hands it to the writer; in memory only, so it may be called
    // for many records in a row. False, with nothing changed, when the very same version is held
    // already, when its bytes are no well-formed PNG (the next start would delete its file) or
    // larger than kMaxFileBytes, when the queue is full or the writer stopped (the next repetition
    // of the logo offers it again) or when memory runs out. Otherwise the record replaces the held
    // one at once: true.
    //
    // The writer then writes the new version under its own name, flushed, and only after that
    // moves the superseded file aside, so a loadable version is on disk at every instant. When
    // the save fails, the replaced version comes back in memory (its file was never touched), and
    // that version is refused for kRetryFailedSave, or until Refresh is called: a save that
    // keeps failing (a full disk, a directory of the file's name) is not tried at every
    // repetition of the logo.
    static constexpr std::chrono::seconds kRetryFailedSave{60};
    bool Accept(const LogoRecord& record) noexcept;
    // What AcceptNewest did: handed the record to the writer, found these very bytes held under
    // this version, or refused it for now (as Accept refuses).
    enum class Taken { Queued, Held, Refused };
    // As Accept, but a held record of the same version with other bytes is replaced too, its
    // file rewritten under the same name: a carousel may bring a logo's new image after its SDT
    // named the new version.
    Taken AcceptNewest(const LogoRecord& record) noexcept;
    // Copies the held record of the key into out; false (out unchanged) when none is held.
    bool Lookup(uint16_t originalNetworkId, uint16_t logoId, uint8_t logoType,
                LogoRecord& out) const noexcept;

    // Waits until the writer has finished every save queued so far. True when no save failed
    // since the previous Flush. For tools and tests, never for the stream thread.
    bool Flush() noexcept;
    // From now on Accept refuses, and the writer finishes what is queued until `bound` has
    // passed; what it could not start by then is not written at all. Does not wait.
    void BeginStop(std::chrono::milliseconds bound = kFinishBound) noexcept;
    // BeginStop (unless begun already), then waits for the writer to end: at most the save in
    // progress when the bound passes outlasts it.
    void Stop(std::chrono::milliseconds bound = kFinishBound) noexcept;
    bool WriterRunning() const { return writer.joinable(); }

    // Other processes (viewers sharing the folder, insigno-scan --store) save logos there too.
    // Asks the writer thread to take in every well-formed logo file whose version is higher than
    // the one held (or of a key not held); it does so unasked every kRefreshPeriod as well. The
    // reading deletes and moves nothing. Does not wait. The viewer calls it at each visit of a
    // service: versions whose save failed are offered to the writer again from then on.
    static constexpr std::chrono::seconds kRefreshPeriod{60};
    void Refresh() noexcept;
    // Called on the writer thread with each logo so taken in; null: none. Setting it waits for a
    // call in progress, so that after a null is set no call is made.
    using ArrivalHandler = std::function<void(const LogoRecord&)>;
    void SetArrivalHandler(ArrivalHandler handler);

    // The resolved logo directory; empty when the setting was empty.
    const boost::filesystem::path& Directory() const { return directory; }

    // Suffix of the temporary file a save writes before renaming; such names never have the
    // logo file-name form.
    static constexpr const char* kTemporarySuffix = ".tmp";
    // "NNNN_III_VVV_TT.PPPP-SSSS.tmp": the logo's file name, this process's id and the number of
    // the save in it (hexadecimal), so that viewers sharing the folder never write one file.
    static std::string MakeTemporaryName(const std::string& fileName);
    // That form, or the bare "NNNN_III_VVV_TT.tmp" of earlier versions.
    static bool IsTemporaryFileName(const std::string& name);
    // A temporary file older than this is a crashed writer's: the start-up scan removes it.
    static constexpr std::chrono::minutes kStaleTemporaryAge{10};

private:
    // One save for the writer: the accepted record, and the one it replaced in memory, put back
    // when the save fails.
    struct Job {
        std::string key;
        LogoRecord record;
        std::optional<LogoRecord> replaced;
        bool saved = false;
        size_t Bytes() const;
    };

    Taken Take(const LogoRecord& record, bool replaceOtherBytes) noexcept;
    void Scan();
    bool AddScanned(LogoRecord record, const std::string& fileName);
    bool RemoveFile(const boost::filesystem::path& path);
    // Renames the directory's file `name` to the name with underscores appended (as many as make
    // it free); false when the rename failed.
    bool MoveAside(const std::string& name);

    void RunWriter() noexcept;
    bool PastFinish() const noexcept;
    // The file steps of one save; false when the new version is not on disk under its name.
    bool Save(const Job& job) noexcept;
    // Renames the file the key had on disk before `savedName` to its name with underscores
    // appended; a failure leaves it, and the next start's scan settles which version is held.
    void MoveAsideSuperseded(const std::string& key, const std::string& savedName);
    // After a failed save: the replaced version back in memory, unless another took its place.
    void Restore(Job& job) noexcept;
    // The writer's reading of what others saved (see Refresh).
    void TakeInSavedElsewhere() noexcept;
    bool Queued(const std::string& key) const;
    // Whether the record's version failed to save too recently to be tried again.
    bool SaveFailedRecently(const std::string& key, const LogoRecord& record) const;
    void NoteSaveResult(const Job& job) noexcept;

    boost::filesystem::path directory;
    std::shared_ptr<LogoDisk> disk;
    QueueLimits limits;

    // Lock order: the stream side's manager mutex first, then this one; the writer thread takes
    // only this one, and never across a file operation. Guards everything below up to `writer`.
    mutable boost::mutex mutex;
    boost::condition_variable wake;      // the writer: a job, or the stop
    boost::condition_variable finished;  // Flush: the queue drained
    std::map<std::string, LogoRecord> logos;
    std::deque<Job> queue;
    size_t queuedBytes = 0;  // of the queued jobs and of those the writer took
    size_t inWriter = 0;     // jobs the writer took and has not finished
    bool failedSince = false;
    // By key, the version whose save failed last and when it may be tried again.
    struct FailedSave {
        uint16_t logoVersion;
        std::chrono::steady_clock::time_point retryAt;
    };
    std::map<std::string, FailedSave> failedSaves;
    bool stopping = false;
    bool writerEnded = false;
    bool refreshWanted = false;
    // When the writer must stop starting saves (steady clock ticks); read between two saves
    // without the lock.
    std::atomic<std::chrono::steady_clock::rep> finishBy{
        std::numeric_limits<std::chrono::steady_clock::rep>::max()};

    // The jobs the writer works through, taken from the queue all at once; the writer's alone.
    std::deque<Job> writing;

    // The file name each key has on disk, as found by the scan (a lower-case name too) or last
    // saved: the file a new version supersedes. The writer's alone once it runs.
    std::map<std::string, std::string> filesOnDisk;

    // Held while the arrival handler runs (writer thread) and while it is replaced.
    boost::mutex arrivalMutex;
    ArrivalHandler arrivalHandler;

    boost::thread writer;
};
