#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

// The reference beside each figure: copying the same bytes with memcpy, in the same run.
inline void CopyBytes(benchmark::State& state, const std::vector<uint8_t>& source) {
    std::vector<uint8_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
}
