#include <malloc.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "insigno/host/ProcessFigures.h"

namespace insigno::host {

ProcessFigures MeasureProcess() {
    ProcessFigures figures;
    std::error_code error;
    std::int64_t descriptors = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error)) {
        ++descriptors;
    }
    if (!error) figures.handles = descriptors;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("RssAnon:", 0) == 0)
            figures.privateBytes = std::stoll(line.substr(8)) * 1024;
    }
    const struct mallinfo2 heap = mallinfo2();
    figures.heapInUse = static_cast<std::int64_t>(heap.uordblks + heap.hblkhd);
    figures.heapCommitted = static_cast<std::int64_t>(heap.arena + heap.hblkhd);
    return figures;
}

std::string RegionChanges() {
    return {};
}

}  // namespace insigno::host
