#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "LogoModule.h"
#include "LogoRecord.h"
#include "ModuleAssembler.h"

// Logos of completed carousel modules waiting to be offered to the logo store, handed out one
// (logo, network) pair at a time: a module of hundreds of logos completes in one packet, and
// the stream thread takes a little of it with each packet that follows instead of all at once.
// One thread only.
class CarouselBacklog {
public:
    // Completed modules held at most, in module bytes; a module beyond it is dropped, and the
    // collector must hand it out again.
    static constexpr size_t kMaxBytes = size_t{8} << 20;

    void Add(CompletedModule&& module, uint8_t logoType);
    // A logo could not be filed for now: the collector must hand out its module again.
    void Again() { again = true; }
    // Whether the collector must hand out every module again: one was dropped or refused, or the
    // versions rule may decide otherwise since `versionChanges` (TypeOneReferences::Changes())
    // was last seen. Clears what it reports.
    bool NeedsAgain(uint64_t versionChanges);
    // The next logo as a record for one network it serves: network, logo id, type, bytes, size
    // by type; version 0 (the carousel sends none). False when nothing waits.
    bool Next(LogoRecord& record);
    bool Empty() const { return modules.empty() && nextNetwork == networks.size(); }

private:
    struct Module {
        LogoModuleReader reader;
        size_t size;
    };

    std::deque<Module> modules;
    size_t bytes = 0;
    CarouselLogo logo;
    // The distinct networks of the logo's services; a logo listing services of several networks
    // is stored under each.
    std::vector<uint16_t> networks;
    size_t nextNetwork = 0;
    bool again = false;
    uint64_t versionsSeen = 0;
};
