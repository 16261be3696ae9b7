// The cost of a packet of an uninteresting PID: one indirect call and one PID test, no lock.
#include <mutex>

#include "BenchStreams.h"
#include "Packetizer.h"
#include "SDTParse.h"

namespace {

constexpr size_t kPackets = 4096;

// Shaped like the plug-in's stream side: the current stage is a member pointer read per packet.
class Stages {
public:
    void (Stages::*packetHandler)(const uint8_t*) = &Stages::HandleSDTPacket;

    void HandleSDTPacket(const uint8_t* packet) {
        if (((packet[1] & 0x1F) << 8 | packet[2]) != 0x0011) return;
        std::lock_guard<std::mutex> lock(mutex);
        sdt.PushPacket(packet, packet + 188);
    }

    SDTParse sdt;
    std::mutex mutex;
};

std::vector<uint8_t> OtherPidPackets() {
    std::vector<uint8_t> stream;
    for (size_t i = 0; i < kPackets; ++i) {
        const auto packet =
            tswriter::FillerPacket(static_cast<uint16_t>(0x0100 + i % 8), static_cast<uint8_t>(i));
        stream.insert(stream.end(), packet.begin(), packet.end());
    }
    return stream;
}

void BM_OtherPidPath(benchmark::State& state) {
    const std::vector<uint8_t> stream = OtherPidPackets();
    Stages stages;
    for (auto _ : state) {
        // Hides the handler's identity, so every packet goes through a real indirect call.
        benchmark::DoNotOptimize(stages.packetHandler);
        for (const uint8_t* p = stream.data(); p != stream.data() + stream.size(); p += 188) {
            (stages.*stages.packetHandler)(p);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPackets));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_OtherPidPath);

void BM_OtherPidPath_Memcpy(benchmark::State& state) {
    CopyBytes(state, OtherPidPackets());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kPackets));
}
BENCHMARK(BM_OtherPidPath_Memcpy);

}  // namespace
