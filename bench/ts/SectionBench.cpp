// Section assembly, CRC check and CDT parsing together, over logo sections of typical sizes.
#include "BenchStreams.h"
#include "CDTParse.h"
#include "Packetizer.h"
#include "Sections.h"

namespace {

std::vector<uint8_t> LogoStream(size_t logoBytes) {
    tswriter::CdtLogoSection section;
    section.downloadDataId = 1;
    section.originalNetworkId = 4;
    section.logoType = 5;
    section.logoId = 7;
    section.data.resize(logoBytes);
    for (size_t i = 0; i < logoBytes; ++i) section.data[i] = static_cast<uint8_t>(i * 13);
    const std::vector<uint8_t> bytes = section.Build();
    tswriter::Packetizer packetizer(tswriter::kCdtPid);
    return packetizer.OnePerPacket(std::vector<std::vector<uint8_t>>(64, bytes));
}

void BM_AssembleCrcParseCdt(benchmark::State& state) {
    const std::vector<uint8_t> stream = LogoStream(static_cast<size_t>(state.range(0)));
    CDTParse cdt;
    int64_t logos = 0;
    for (auto _ : state) {
        for (const uint8_t* p = stream.data(); p != stream.data() + stream.size(); p += 188) {
            cdt.PushPacket(p, p + 188);
            logos += cdt.logo.data.empty() ? 0 : 1;
        }
    }
    if (logos != 64 * state.iterations()) state.SkipWithError("a logo section was not parsed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_AssembleCrcParseCdt)->Arg(1000)->Arg(4000);

void BM_AssembleCrcParseCdt_Memcpy(benchmark::State& state) {
    CopyBytes(state, LogoStream(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_AssembleCrcParseCdt_Memcpy)->Arg(1000)->Arg(4000);

}  // namespace
