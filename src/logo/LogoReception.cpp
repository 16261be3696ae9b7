#include <boost/thread/locks.hpp>

#include "LogoStore.h"

// Accept and Lookup run on the viewer's stream thread inside its packet callback, where an
// exception would cross into the viewer and a file operation would hold the stream up: they work
// in memory only, and every failure, exhausted memory too, ends here as false.

size_t LogoStore::Job::Bytes() const {
    return record.data.size() + (replaced ? replaced->data.size() : 0);
}

bool LogoStore::Accept(const LogoRecord& record) noexcept {
    return Take(record, false) == Taken::Queued;
}

LogoStore::Taken LogoStore::AcceptNewest(const LogoRecord& record) noexcept {
    return Take(record, true);
}

LogoStore::Taken LogoStore::Take(const LogoRecord& record, bool replaceOtherBytes) noexcept {
    try {
        // Decided before the lock: the check reads every byte.
        if (record.data.size() > kMaxFileBytes || !IsWellFormedPng(record.data)) {
            return Taken::Refused;
        }
        Job job{MakeKey(record), record, std::nullopt};
        LogoRecord replacement = record;
        boost::mutex::scoped_lock lock(mutex);
        if (stopping || SaveFailedRecently(job.key, record)) return Taken::Refused;
        const auto held = logos.find(job.key);
        if (held != logos.end() && held->second.logoVersion == record.logoVersion &&
            (!replaceOtherBytes || held->second.data == record.data)) {
            return Taken::Held;
        }
        const size_t bytes = job.Bytes() + (held != logos.end() ? held->second.data.size() : 0);
        if (queue.size() + inWriter >= limits.records || queuedBytes + bytes > limits.bytes) {
            return Taken::Refused;
        }
        // Queued first, so that memory running out leaves the table as it was.
        queue.push_back(std::move(job));
        if (held == logos.end()) {
            try {
                logos.emplace(queue.back().key, std::move(replacement));
            } catch (...) {
                queue.pop_back();
                throw;
            }
        } else {
            queue.back().replaced = std::move(held->second);
            held->second = std::move(replacement);
        }
        queuedBytes += bytes;
        lock.unlock();
        wake.notify_one();
        return Taken::Queued;
    } catch (...) {
        return Taken::Refused;
    }
}

bool LogoStore::SaveFailedRecently(const std::string& key, const LogoRecord& record) const {
    if (failedSaves.empty()) return false;
    const auto failed = failedSaves.find(key);
    return failed != failedSaves.end() && failed->second.logoVersion == record.logoVersion &&
           std::chrono::steady_clock::now() < failed->second.retryAt;
}

bool LogoStore::Lookup(uint16_t originalNetworkId, uint16_t logoId, uint8_t logoType,
                       LogoRecord& out) const noexcept {
    try {
        const std::string key = MakeKey(originalNetworkId, logoId, logoType);
        boost::mutex::scoped_lock lock(mutex);
        const auto held = logos.find(key);
        if (held == logos.end()) return false;
        // Copied aside first, so that running out of memory leaves out unchanged.
        LogoRecord copy = held->second;
        lock.unlock();
        out = std::move(copy);
        return true;
    } catch (...) {
        return false;
    }
}
