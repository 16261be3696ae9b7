#pragma once

// The soak: the module driven for minutes in one process as a viewer left running would drive
// it. The stream plays at full speed while the viewer changes channel over and over among the
// scenario's channels; while the logo is shown it changes zoom, aspect and full screen; now and
// then it disables and enables the plug-in; and every few seconds it finalises and unloads the
// module and loads and initialises it again. Every minute it prints the counts so far and the
// process's handles and private memory.

#include <cstdint>
#include <ostream>

#include "insigno/host/Host.h"
#include "insigno/host/Report.h"
#include "insigno/host/Scenario.h"

namespace insigno::host {

struct SoakOptions {
    double minutes = 2;
    double reloadSeconds = 10;  // one load-initialise-finalise-unload cycle
    // Growth allowed from the figures after the first minute (warm-up) to the last ones.
    std::int64_t handleGrowth = 8;
    // Private memory: one step of the allocators' growth, plus so much per 100 cycles after the
    // first minute (MemoryBound).
    std::int64_t memoryStep = 1 << 20;
    std::int64_t memoryPer100Cycles = 1 << 20;
    double hangSeconds = 60;  // the watchdog ends a run that makes no progress this long
};

// The private memory's growth a soak allows over `cycles` load-unload cycles after minute 1.
std::int64_t MemoryBound(const SoakOptions& options, std::int64_t cycles);

// Runs the soak on the calling thread (the viewer's UI thread) with the channels, settings and
// stream of `scenario` (its timed steps are not played). Returns 0 when every cycle kept the
// viewer's rules and the figures stayed within bounds, 1 otherwise, 2 when the module could not
// be loaded; a hang ends the process with status 3.
int RunSoak(const Scenario& scenario, const SoakOptions& options, Host& host, Report& report,
            std::ostream& out);

}  // namespace insigno::host
