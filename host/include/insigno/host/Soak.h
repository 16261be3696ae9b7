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
    // Memory may grow from minute 1 to the end by a fixed step plus so much per 100 cycles
    // (Bound), judged on the heap's bytes in use (exact, free of the system's keeping) and on
    // the private bytes. Natively both stay flat once the module unloads: 64 KiB per 100 cycles
    // is ten times glibc's per-thread records and what stays in malloc's arenas, and a leak of
    // 640 bytes a cycle fails. Under Wine the private bytes also hold thread stacks that Wine
    // frees only some time after their thread ended (3 MiB each, a stack and its signal stack,
    // now and then two at once) and the heap's commits, which come in steps of up to 640 KiB:
    // 7 MiB covers two stacks and a step. Wine's Direct3D 9 keeps about 120 bytes each time a
    // device is reset and then drawn with, on the window's thread as on any other
    // (insigno-d3d-probe), which the overlay does once per change of the picture's size; at the
    // soak's pace on an idle machine (some 60 view changes a cycle) that is up to about 1 MiB per
    // 100 cycles of the heap. 2 MiB per 100 cycles stays above it, and a leak of 24 KiB a cycle
    // fails.
#ifdef _WIN32
    std::int64_t heapStep = 256 << 10;
    std::int64_t heapPer100Cycles = 2 << 20;
    std::int64_t memoryStep = 7 << 20;
    std::int64_t memoryPer100Cycles = 1 << 20;
#else
    std::int64_t heapStep = 64 << 10;
    std::int64_t heapPer100Cycles = 64 << 10;
    std::int64_t memoryStep = 1 << 20;
    std::int64_t memoryPer100Cycles = 256 << 10;
#endif
    double minuteSeconds = 60;  // a "minute" of the figures and of `minutes` (tests shorten it)
    double hangSeconds = 60;    // the watchdog ends a run that makes no progress this long
};

// The growth a soak allows over `cycles` load-unload cycles after minute 1: `step` plus `per100`
// for every 100 cycles.
std::int64_t Bound(std::int64_t step, std::int64_t per100, std::int64_t cycles);

// Runs the soak on the calling thread (the viewer's UI thread) with the channels, settings and
// stream of `scenario` (its timed steps are not played). Returns 0 when every cycle kept the
// viewer's rules and the figures stayed within bounds, 1 otherwise, 2 when the module could not
// be loaded; a hang ends the process with status 3.
int RunSoak(const Scenario& scenario, const SoakOptions& options, Host& host, Report& report,
            std::ostream& out);

}  // namespace insigno::host
