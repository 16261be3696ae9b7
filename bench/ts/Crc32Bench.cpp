#include "BenchStreams.h"
#include "Crc32.h"

namespace {

std::vector<uint8_t> Data(size_t size) {
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i * 31 + 7);
    return data;
}

void BM_Crc32(benchmark::State& state) {
    const std::vector<uint8_t> data = Data(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Crc32(data.data(), data.data() + data.size(), 0xFFFFFFFFu));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_Crc32)->Arg(4096)->Arg(1 << 20);

void BM_Crc32_Memcpy(benchmark::State& state) {
    CopyBytes(state, Data(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_Crc32_Memcpy)->Arg(4096)->Arg(1 << 20);

}  // namespace
