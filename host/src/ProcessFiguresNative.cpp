#include <malloc.h>
#include <sys/resource.h>

#include <cstddef>

#include <filesystem>
#include <fstream>
#include <string>

#include "insigno/host/ProcessFigures.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizer runtimes' allocator figures (GCC ships no header for them).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
extern "C" std::size_t __sanitizer_get_heap_size();
#endif

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
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // The sanitizer's allocator replaces malloc's, whose figures then stay at 0.
    figures.heapInUse = static_cast<std::int64_t>(__sanitizer_get_current_allocated_bytes());
    figures.heapCommitted = static_cast<std::int64_t>(__sanitizer_get_heap_size());
#else
    const struct mallinfo2 heap = mallinfo2();
    figures.heapInUse = static_cast<std::int64_t>(heap.uordblks + heap.hblkhd);
    figures.heapCommitted = static_cast<std::int64_t>(heap.arena + heap.hblkhd);
#endif
    return figures;
}

std::string RegionChanges() {
    return {};
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace insigno::host
