// Builds a logo directory of well-formed files, then measures one start-up scan (the LogoStore
// constructor): wall time, and the peak resident memory it adds over the baseline before it.
//
//   insigno-bench-store [files [bytes-per-file]]     (default 10000 files of 1500 bytes)

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "LogoStore.h"
#include "support/LogoFiles.h"

namespace {

constexpr double kTimeTarget = 0.2;    // seconds
constexpr double kMemoryTarget = 1.5;  // times the files' bytes
constexpr size_t kPngOverhead = 57;    // signature, IHDR, IDAT and IEND around the payload

// A field of /proc/self/status in bytes (the file gives kB).
long long StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) return std::atoll(line.c_str() + prefix.size()) * 1024;
    }
    return -1;
}

// Lets VmHWM start again from the current resident size, so the peak is the scan's own.
bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}

struct Cpu {
    double seconds;
    long waits;        // voluntary context switches: blocked, on I/O for example
    long preemptions;  // involuntary ones: other processes had the core
};

Cpu CpuNow() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
            usage.ru_nvcsw, usage.ru_nivcsw};
}

}  // namespace

int main(int argc, char** argv) {
    const size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    const size_t fileBytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1500;
    if (fileBytes < kPngOverhead) {
        std::fprintf(stderr, "bytes per file must be at least %zu\n", kPngOverhead);
        return 2;
    }

    logo_files::TempDir base;
    const auto directory = base.Path() / "Logo";
    boost::filesystem::create_directories(directory);
    size_t totalBytes = 0;
    for (size_t i = 0; i < files; ++i) {
        LogoRecord record;
        record.originalNetworkId = static_cast<uint16_t>(1 + i / 512);
        record.logoId = static_cast<uint16_t>(i % 512);
        record.logoVersion = 1;
        record.logoType = 5;
        const auto bytes = logo_files::MakePng(fileBytes - kPngOverhead, static_cast<uint32_t>(i));
        logo_files::WriteFile(directory / LogoStore::MakeFileName(record), bytes);
        totalBytes += bytes.size();
    }

    const bool peakReset = ResetPeak();
    const long long baseline = StatusBytes("VmHWM");
    const Cpu cpuStart = CpuNow();
    const auto start = std::chrono::steady_clock::now();
    const LogoStore store("Logo", base.Path().string());
    const auto end = std::chrono::steady_clock::now();
    const Cpu cpuEnd = CpuNow();
    const long long peak = StatusBytes("VmHWM");

    size_t loaded = 0;
    LogoRecord out;
    for (size_t i = 0; i < files; ++i) {
        if (store.Lookup(static_cast<uint16_t>(1 + i / 512), static_cast<uint16_t>(i % 512), 5,
                         out)) {
            ++loaded;
        }
    }

    const double seconds = std::chrono::duration<double>(end - start).count();
    const long long added = peak - baseline;
    const double ratio = double(added) / double(totalBytes);
    std::printf("files:              %zu of %zu bytes, %zu bytes in all\n", files, fileBytes,
                totalBytes);
    std::printf("loaded:             %zu\n", loaded);
    std::printf("scan wall time:     %.4f s  (%.2f of the %.2f s target)\n", seconds,
                seconds / kTimeTarget, kTimeTarget);
    std::printf("scan CPU time:      %.4f s  (user and system; %ld waits, %ld preemptions)\n",
                cpuEnd.seconds - cpuStart.seconds, cpuEnd.waits - cpuStart.waits,
                cpuEnd.preemptions - cpuStart.preemptions);
    std::printf("peak RSS added:     %lld bytes (baseline VmHWM %lld, peak %lld%s)\n", added,
                baseline, peak, peakReset ? "" : ", peak not reset");
    std::printf("memory / file bytes: %.3f  (%.2f of the %.1fx target)\n", ratio,
                ratio / kMemoryTarget, kMemoryTarget);
    std::printf("targets:            time %s, memory %s\n",
                seconds <= kTimeTarget ? "met" : "MISSED",
                ratio <= kMemoryTarget ? "met" : "MISSED");
    return loaded == files ? 0 : 1;
}
