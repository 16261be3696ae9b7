// How long a received logo holds the viewer's stream thread now that the store's writer thread
// does the file work, beside what that file work costs, on the same disk in one run:
//   1. flushed saves: one new version of a logo at a time, Accept then Flush, so each is the
//      whole save (temporary file written and flushed, renamed, directory flushed, the old
//      version moved aside) plus the hand-over;
//   2. a burst of new logos handed over back to back, as a carousel of a satellite network
//      brings them: the time each Accept holds the stream thread while the writer works beside.
//
//   insigno-bench-save [logos [payload-bytes]]     (default 200 logos, 1500 bytes of image data)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <time.h>

#include "LogoStore.h"
#include "support/LogoFiles.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    double median;
    double p99;
    double worst;
};

Figures Summary(std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double share) {
        return micros[std::min(micros.size() - 1, static_cast<size_t>(share * micros.size()))];
    };
    return {at(0.5), at(0.99), micros.back()};
}

// The calling thread's own CPU time: a hold much longer than it was spent off the CPU
// (preempted), not working.
double ThreadCpuMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const size_t logos = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
    const size_t bytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1500;
    if (logos == 0 || logos > 0xFFE) {
        std::fprintf(stderr, "logos must be 1 to 4094 (one logo id or version each)\n");
        return 2;
    }

    logo_files::TempDir base;
    LogoStore store("Logo", base.Path().string());

    std::vector<double> saves;
    for (size_t i = 0; i < logos; ++i) {
        const LogoRecord record = logo_files::Received(static_cast<uint16_t>(1 + i), 5, bytes);
        const auto start = Clock::now();
        if (!store.Accept(record) || !store.Flush()) {
            std::fprintf(stderr, "flushed save %zu failed\n", i);
            return 1;
        }
        saves.push_back(MicrosSince(start));
    }

    std::vector<LogoRecord> burst;
    for (size_t i = 0; i < logos; ++i) {
        burst.push_back(logo_files::Received(1, 5, bytes));
        burst.back().logoId = static_cast<uint16_t>(0x100 + i);
    }
    std::vector<double> holds;
    std::vector<double> working;
    const auto burstStart = Clock::now();
    for (const LogoRecord& record : burst) {
        const double cpuStart = ThreadCpuMicros();
        const auto start = Clock::now();
        const bool accepted = store.Accept(record);
        holds.push_back(MicrosSince(start));
        working.push_back(ThreadCpuMicros() - cpuStart);
        if (!accepted) {
            std::fprintf(stderr, "logo %zu of the burst refused\n", holds.size());
            return 1;
        }
    }
    const double handedOver = MicrosSince(burstStart);
    if (!store.Flush()) {
        std::fprintf(stderr, "a save of the burst failed\n");
        return 1;
    }
    const double written = MicrosSince(burstStart);

    const Figures save = Summary(saves);
    const Figures hold = Summary(holds);
    const Figures cpu = Summary(working);
    std::printf("%zu logos of %zu bytes of image data in %s\n", logos, bytes,
                base.Path().string().c_str());
    std::printf(
        "one flushed save:                  median %7.0f us, 99th %7.0f us, worst %7.0f us\n",
        save.median, save.p99, save.worst);
    std::printf(
        "stream thread held per burst logo: median %7.1f us, 99th %7.1f us, worst %7.1f us\n",
        hold.median, hold.p99, hold.worst);
    std::printf(
        "  of which on the CPU:             median %7.1f us, 99th %7.1f us, worst %7.1f us\n",
        cpu.median, cpu.p99, cpu.worst);
    std::printf("burst handed over in %.0f us, written by the writer thread in %.0f ms\n",
                handedOver, written / 1000);
    std::printf("worst hold / median flushed save: %.4f (goal: below 0.1)\n",
                hold.worst / save.median);
    return 0;
}
