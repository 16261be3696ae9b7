#pragma once

// What the process holds, as its operating system counts it: on Windows the handle count
// (GetProcessHandleCount) and the private bytes (GetProcessMemoryInfo's PrivateUsage); natively
// the open file descriptors and the anonymous resident memory.

#include <cstdint>

namespace insigno::host {

struct ProcessFigures {
    std::int64_t handles = -1;       // -1: unknown
    std::int64_t privateBytes = -1;  // -1: unknown
};

ProcessFigures MeasureProcess();

}  // namespace insigno::host
