#pragma once

// What the process holds, as its operating system counts it: on Windows the handle count
// (GetProcessHandleCount) and the private bytes (GetProcessMemoryInfo's PrivateUsage); natively
// the open file descriptors and the anonymous resident memory. Beside them, the heap: the bytes
// its blocks hold and the bytes it has taken from the system (natively malloc's, on Windows the
// process's heaps), which tell a leak (blocks) from the heap's own keeping (slack).

#include <cstdint>
#include <string>

namespace insigno::host {

struct ProcessFigures {
    std::int64_t handles = -1;        // -1: unknown
    std::int64_t privateBytes = -1;   // -1: unknown
    std::int64_t heapInUse = -1;      // bytes in allocated blocks; -1: unknown
    std::int64_t heapCommitted = -1;  // bytes the heap holds from the system; -1: unknown
};

ProcessFigures MeasureProcess();

// CPU seconds (user and system) this process has used so far. Under Wine the wineserver's are
// added, since every message and timer of the process costs it there; on Windows there is none.
double CpuSeconds();

// Where private memory changed since the last call, one line per allocation (its base, what it
// holds committed now and before, and whether it is a heap's): what `insigno-host --soak` prints
// each minute when INSIGNO_SOAK_REGIONS is set. Windows only; natively heaptrack tells more.
std::string RegionChanges();

}  // namespace insigno::host
