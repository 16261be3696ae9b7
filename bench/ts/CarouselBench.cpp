// The carousel path: PAT, PMT, DII and DDB sections through the collector, modules assembled and
// their logos decoded; and the cost of the packets of every other PID, which is most of a stream.
#include <map>

#include "BenchStreams.h"
#include "Carousel.h"
#include "CarouselCollector.h"
#include "Packetizer.h"

namespace {

constexpr uint16_t kPmtPid = 0x01F0;
constexpr uint16_t kBsPid = 0x0920;

// One cycle of a BS carousel whose LOGO-05 module holds `logos` logos of 1500 bytes.
std::vector<uint8_t> CarouselCycle(size_t logos) {
    std::vector<tswriter::CarouselLogoEntry> entries;
    for (size_t i = 0; i < logos; ++i) {
        tswriter::Bytes png(1500);
        for (size_t b = 0; b < png.size(); ++b) png[b] = static_cast<uint8_t>(b * 13 + i);
        entries.push_back({static_cast<uint16_t>(i), {{4, 0x40F1, static_cast<uint16_t>(i)}}, png});
    }
    const tswriter::Bytes module = tswriter::LogoModule(5, entries);
    tswriter::DiiSection dii;
    dii.downloadId = 1;
    dii.modules = {{5, static_cast<uint32_t>(module.size()), 1, "LOGO-05", {}}};
    tswriter::Bytes stream = tswriter::Packetizer(0x0000).OnePerPacket(
        {tswriter::PatSection(0x40F1, {{0x03A1, kPmtPid}})});
    const auto append = [&](const tswriter::Bytes& packets) {
        stream.insert(stream.end(), packets.begin(), packets.end());
    };
    append(tswriter::Packetizer(kPmtPid).OnePerPacket(
        {tswriter::PmtSection(0x03A1, {{0x0D, kBsPid, 0x79}})}));
    tswriter::Packetizer carousel(kBsPid);
    append(carousel.OnePerPacket({dii.Build()}));
    append(carousel.OnePerPacket(tswriter::ModuleBlocks(1, 5, 1, module, 4066)));
    return stream;
}

void BM_CarouselModuleOfLogos(benchmark::State& state) {
    const size_t logos = static_cast<size_t>(state.range(0));
    const std::vector<uint8_t> stream = CarouselCycle(logos);
    int64_t found = 0;
    for (auto _ : state) {
        // A fresh collector each time: a completed module is not handed out twice.
        CarouselCollector collector([&](const CarouselLogo&) { ++found; });
        for (const uint8_t* p = stream.data(); p != stream.data() + stream.size(); p += 188) {
            collector.PushPacket(p);
        }
    }
    if (found != static_cast<int64_t>(logos) * state.iterations()) {
        state.SkipWithError("a logo was not collected");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_CarouselModuleOfLogos)->Arg(10)->Arg(100);

void BM_CarouselModuleOfLogos_Memcpy(benchmark::State& state) {
    CopyBytes(state, CarouselCycle(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_CarouselModuleOfLogos_Memcpy)->Arg(10)->Arg(100);

// Packets of PIDs the collector does not watch, once it knows the carousel's.
void BM_CarouselOtherPids(benchmark::State& state) {
    std::vector<uint8_t> stream;
    for (size_t i = 0; i < 4096; ++i) {
        const auto packet =
            tswriter::FillerPacket(static_cast<uint16_t>(0x0100 + i % 8), static_cast<uint8_t>(i));
        stream.insert(stream.end(), packet.begin(), packet.end());
    }
    CarouselCollector collector([](const CarouselLogo&) {});
    const std::vector<uint8_t> tables = CarouselCycle(1);
    for (const uint8_t* p = tables.data(); p != tables.data() + tables.size(); p += 188) {
        collector.PushPacket(p);
    }
    for (auto _ : state) {
        for (const uint8_t* p = stream.data(); p != stream.data() + stream.size(); p += 188) {
            collector.PushPacket(p);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 4096));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_CarouselOtherPids);

}  // namespace
