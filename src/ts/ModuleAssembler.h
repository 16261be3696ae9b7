#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "DsmccMessages.h"

// A module whose every block arrived.
struct CompletedModule {
    uint16_t carrier = 0;  // the PID it came on
    uint32_t downloadId = 0;
    uint16_t moduleId = 0;
    uint8_t moduleVersion = 0;
    std::string name;
    std::vector<uint8_t> bytes;
};

// Assembles carousel modules from their blocks. It knows downloads, module ids, versions, sizes
// and which blocks arrived, nothing of what a module holds; the caller announces only the
// modules it wants. A module is keyed by (carrier, downloadId, moduleId), its state by its
// version, size and blockSize:
// - an announcement that changes any of them, or a block of another moduleVersion, restarts it
//   (a block of a newer version waits, as below, for the announcement that gives its size);
// - a module the latest announcement of its download no longer lists is dropped;
// - blocks are counted in a bitmap: a repeated block never completes a module;
// - blocks that arrive before their download's announcement (or of a version not yet announced)
//   wait within the in-flight budget and are taken in when it comes; one that waited through
//   kMaxPendingAge later blocks is dropped (its announcement never decoded, or never listed it);
// - a completed module is handed out once and remembered (without its bytes) until it changes,
//   or until HandAgain asks for every completed module once more.
// Sizes are bounded: a module at most kMaxModuleSize, modules being assembled and waiting blocks
// together at most kMaxBytesInFlight; what would pass a bound is refused (an announced module
// is tried again at the next announcement).
class ModuleAssembler {
public:
    static constexpr size_t kMaxModuleSize = size_t{1} << 20;
    static constexpr size_t kMaxBytesInFlight = size_t{4} << 20;
    // The largest block a DownloadDataBlock section can carry: 4096 bytes less the section
    // header, the message headers and the CRC.
    static constexpr size_t kMaxBlockSize = 4066;
    // Downloads remembered per carrier and in all; the least recently announced goes first.
    static constexpr size_t kMaxDownloadsPerCarrier = 4;
    static constexpr size_t kMaxDownloads = 8;
    // Blocks taken after a waiting block before it is dropped: several cycles of a carousel.
    static constexpr uint64_t kMaxPendingAge = 16384;

    // The download `info` announces on `carrier`, with `wanted` its modules to assemble; the
    // modules that blocks waiting for it complete.
    std::vector<CompletedModule> Announce(uint16_t carrier, const DownloadInfo& info,
                                          const std::vector<DiiModule>& wanted);
    // Takes one block; the module it completes, if any.
    std::optional<CompletedModule> Take(uint16_t carrier, const DownloadDataBlock& block);
    // Every completed module is assembled and handed out again when its download is next
    // announced: for a caller that could not take all it was handed.
    void HandAgain();
    // Drops everything of one carrier, or of all.
    void Forget(uint16_t carrier);
    void Clear();

    // Bytes held for modules being assembled and blocks waiting (with their bookkeeping).
    size_t BytesInFlight() const { return bytesInFlight; }

private:
    enum class State { Collecting, Waiting, Done };
    struct Module {
        State state = State::Waiting;
        uint8_t version = 0;
        uint32_t size = 0;
        uint16_t blockSize = 0;
        std::string name;
        std::vector<uint8_t> bytes;
        std::vector<bool> received;
        size_t receivedCount = 0;
    };
    struct Download {
        uint16_t carrier = 0;
        uint32_t downloadId = 0;
        uint64_t announced = 0;  // when it was last announced, in announcements
        std::map<uint16_t, Module> modules;
    };
    // carrier, downloadId, moduleId, moduleVersion, blockNumber
    using PendingKey = std::tuple<uint16_t, uint32_t, uint16_t, uint8_t, uint16_t>;
    struct PendingBlock {
        std::vector<uint8_t> bytes;
        uint64_t since = 0;  // blocks taken when it came
    };

    Download& DownloadFor(uint16_t carrier, uint32_t downloadId);
    void Start(Download& download, uint16_t moduleId, Module& module,
               std::vector<CompletedModule>& completed);
    void Release(Module& module);
    std::optional<CompletedModule> Add(Download& download, uint16_t moduleId, Module& module,
                                       uint16_t blockNumber, const uint8_t* data, size_t size);
    void Wait(uint16_t carrier, const DownloadDataBlock& block);
    // Drops the waiting blocks of one download, but those of its modules still waiting for room.
    void DropPending(uint16_t carrier, uint32_t downloadId, const Download* keep);
    void Evict(size_t index);
    // Drops the waiting blocks older than kMaxPendingAge.
    void DropStale();

    std::vector<Download> downloads;
    std::map<PendingKey, PendingBlock> pending;
    uint64_t blocksTaken = 0;
    size_t bytesInFlight = 0;
    uint64_t announcements = 0;
};
