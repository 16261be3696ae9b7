#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include "insigno/host/ProcessFigures.h"

namespace insigno::host {

ProcessFigures MeasureProcess() {
    ProcessFigures figures;
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles)) figures.handles = handles;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (K32GetProcessMemoryInfo(GetCurrentProcess(),
                                reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                sizeof memory)) {
        figures.privateBytes = static_cast<std::int64_t>(memory.PrivateUsage);
    }
    return figures;
}

}  // namespace insigno::host
