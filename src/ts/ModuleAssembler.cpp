#include "ModuleAssembler.h"

#include <algorithm>
#include <cstring>

namespace {

// What a waiting block costs beyond its bytes (its node in the map), so that a flood of tiny
// blocks cannot grow memory past the budget either.
constexpr size_t kPendingOverhead = 64;

}  // namespace

std::vector<CompletedModule> ModuleAssembler::Announce(uint16_t carrier, const DownloadInfo& info,
                                                       const std::vector<DiiModule>& wanted) {
    std::vector<CompletedModule> completed;
    // A block size no section can carry (or zero) leaves the whole layout unknown.
    if (info.blockSize == 0 || info.blockSize > kMaxBlockSize) return completed;
    Download& download = DownloadFor(carrier, info.downloadId);
    download.announced = ++announcements;

    std::map<uint16_t, Module> modules;
    for (const DiiModule& entry : wanted) {
        if (entry.moduleSize == 0 || entry.moduleSize > kMaxModuleSize) continue;
        if (modules.count(entry.moduleId) != 0) continue;  // the first entry of an id counts
        const auto old = download.modules.find(entry.moduleId);
        if (old != download.modules.end() && old->second.state != State::Waiting &&
            old->second.version == entry.moduleVersion && old->second.size == entry.moduleSize &&
            old->second.blockSize == info.blockSize) {
            modules.emplace(entry.moduleId, std::move(old->second));
            download.modules.erase(old);
            continue;
        }
        Module module;
        module.version = entry.moduleVersion;
        module.size = entry.moduleSize;
        module.blockSize = info.blockSize;
        module.name = entry.name;
        if (old != download.modules.end()) {
            Release(old->second);
            download.modules.erase(old);
        }
        Module& placed = modules.emplace(entry.moduleId, std::move(module)).first->second;
        Start(download, entry.moduleId, placed, completed);
    }
    for (auto& [id, module] : download.modules) Release(module);
    download.modules = std::move(modules);
    DropPending(carrier, info.downloadId, &download);
    return completed;
}

std::optional<CompletedModule> ModuleAssembler::Take(uint16_t carrier,
                                                     const DownloadDataBlock& block) {
    // Swept now and then: a sweep walks every waiting block.
    if (++blocksTaken % 1024 == 0) DropStale();
    const auto found = std::find_if(downloads.begin(), downloads.end(), [&](const Download& d) {
        return d.carrier == carrier && d.downloadId == block.downloadId;
    });
    if (found == downloads.end()) {
        Wait(carrier, block);
        return std::nullopt;
    }
    const auto entry = found->modules.find(block.moduleId);
    if (entry == found->modules.end()) return std::nullopt;  // not wanted
    Module& module = entry->second;
    if (module.version != block.moduleVersion) {
        // Another version is on air: what was collected is stale, and the new size comes with
        // the next announcement.
        Release(module);
        module.state = State::Waiting;
        module.version = block.moduleVersion;
    }
    switch (module.state) {
        case State::Waiting:
            Wait(carrier, block);
            return std::nullopt;
        case State::Done:
            return std::nullopt;
        case State::Collecting:
            break;
    }
    return Add(*found, block.moduleId, module, block.blockNumber, block.data, block.size);
}

void ModuleAssembler::Forget(uint16_t carrier) {
    for (size_t i = downloads.size(); i-- > 0;) {
        if (downloads[i].carrier == carrier) Evict(i);
    }
    for (auto it = pending.begin(); it != pending.end();) {
        if (std::get<0>(it->first) == carrier) {
            bytesInFlight -= it->second.bytes.size() + kPendingOverhead;
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
}

void ModuleAssembler::HandAgain() {
    for (Download& download : downloads) {
        for (auto& [id, module] : download.modules) {
            // Waiting: the next announcement of the same version starts it again.
            if (module.state == State::Done) module.state = State::Waiting;
        }
    }
}

void ModuleAssembler::DropStale() {
    for (auto it = pending.begin(); it != pending.end();) {
        if (blocksTaken - it->second.since > kMaxPendingAge) {
            bytesInFlight -= it->second.bytes.size() + kPendingOverhead;
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
}

void ModuleAssembler::Clear() {
    downloads.clear();
    pending.clear();
    bytesInFlight = 0;
}

ModuleAssembler::Download& ModuleAssembler::DownloadFor(uint16_t carrier, uint32_t downloadId) {
    for (Download& download : downloads) {
        if (download.carrier == carrier && download.downloadId == downloadId) return download;
    }
    const auto oldest = [&](bool sameCarrier) {
        size_t pick = downloads.size();
        for (size_t i = 0; i < downloads.size(); ++i) {
            if (sameCarrier && downloads[i].carrier != carrier) continue;
            if (pick == downloads.size() || downloads[i].announced < downloads[pick].announced) {
                pick = i;
            }
        }
        return pick;
    };
    const auto onCarrier = [&] {
        return std::count_if(downloads.begin(), downloads.end(),
                             [&](const Download& d) { return d.carrier == carrier; });
    };
    while (static_cast<size_t>(onCarrier()) >= kMaxDownloadsPerCarrier) Evict(oldest(true));
    while (downloads.size() >= kMaxDownloads) Evict(oldest(false));
    Download download;
    download.carrier = carrier;
    download.downloadId = downloadId;
    downloads.push_back(std::move(download));
    return downloads.back();
}

void ModuleAssembler::Evict(size_t index) {
    Download& download = downloads[index];
    for (auto& [id, module] : download.modules) Release(module);
    DropPending(download.carrier, download.downloadId, nullptr);
    downloads.erase(downloads.begin() + static_cast<std::ptrdiff_t>(index));
}

void ModuleAssembler::Start(Download& download, uint16_t moduleId, Module& module,
                            std::vector<CompletedModule>& completed) {
    if (bytesInFlight + module.size > kMaxBytesInFlight) {
        module.state = State::Waiting;  // tried again at the next announcement
        return;
    }
    module.state = State::Collecting;
    module.bytes.assign(module.size, 0);
    module.received.assign((module.size + module.blockSize - 1) / module.blockSize, false);
    module.receivedCount = 0;
    bytesInFlight += module.size;

    const PendingKey first{download.carrier, download.downloadId, moduleId, module.version, 0};
    auto it = pending.lower_bound(first);
    while (it != pending.end() && std::get<0>(it->first) == download.carrier &&
           std::get<1>(it->first) == download.downloadId && std::get<2>(it->first) == moduleId &&
           std::get<3>(it->first) == module.version) {
        std::optional<CompletedModule> done =
            Add(download, moduleId, module, std::get<4>(it->first), it->second.bytes.data(),
                it->second.bytes.size());
        bytesInFlight -= it->second.bytes.size() + kPendingOverhead;
        it = pending.erase(it);
        if (done) completed.push_back(std::move(*done));
    }
}

void ModuleAssembler::Release(Module& module) {
    if (module.state == State::Collecting) bytesInFlight -= module.size;
    module.bytes = {};
    module.received = {};
    module.receivedCount = 0;
    if (module.state == State::Collecting) module.state = State::Waiting;
}

std::optional<CompletedModule> ModuleAssembler::Add(Download& download, uint16_t moduleId,
                                                    Module& module, uint16_t blockNumber,
                                                    const uint8_t* data, size_t size) {
    const size_t blocks = module.received.size();
    if (blockNumber >= blocks || module.received[blockNumber]) return std::nullopt;
    const size_t offset = static_cast<size_t>(blockNumber) * module.blockSize;
    // Every block but the last fills blockSize; the last holds exactly what is left.
    const size_t expected = std::min<size_t>(module.blockSize, module.size - offset);
    if (size != expected) return std::nullopt;
    std::memcpy(module.bytes.data() + offset, data, size);
    module.received[blockNumber] = true;
    if (++module.receivedCount < blocks) return std::nullopt;

    CompletedModule done{download.carrier, download.downloadId, moduleId,
                         module.version,   module.name,         std::move(module.bytes)};
    bytesInFlight -= module.size;
    module.bytes = {};
    module.received = {};
    module.state = State::Done;
    return done;
}

void ModuleAssembler::Wait(uint16_t carrier, const DownloadDataBlock& block) {
    if (block.size == 0 || block.size > kMaxBlockSize) return;
    const size_t cost = block.size + kPendingOverhead;
    if (bytesInFlight + cost > kMaxBytesInFlight) return;
    const PendingKey key{carrier, block.downloadId, block.moduleId, block.moduleVersion,
                         block.blockNumber};
    if (pending.count(key) != 0) return;
    pending.emplace(
        key, PendingBlock{std::vector<uint8_t>(block.data, block.data + block.size), blocksTaken});
    bytesInFlight += cost;
}

void ModuleAssembler::DropPending(uint16_t carrier, uint32_t downloadId, const Download* keep) {
    auto it = pending.lower_bound(PendingKey{carrier, downloadId, 0, 0, 0});
    while (it != pending.end() && std::get<0>(it->first) == carrier &&
           std::get<1>(it->first) == downloadId) {
        bool kept = false;
        if (keep != nullptr) {
            const auto module = keep->modules.find(std::get<2>(it->first));
            kept = module != keep->modules.end() && module->second.state == State::Waiting &&
                   module->second.version == std::get<3>(it->first);
        }
        if (kept) {
            ++it;
        } else {
            bytesInFlight -= it->second.bytes.size() + kPendingOverhead;
            it = pending.erase(it);
        }
    }
}
