#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <string_view>
#include <thread>

#include "Crc32.h"

namespace {

// Its own executable, so that these threads really make the first calls and race to build the
// table; run under the tsan preset as well.
TEST(Crc32FirstCall, TwoThreadsGetTheRightValue) {
    const std::string_view check = "123456789";
    const auto* begin = reinterpret_cast<const uint8_t*>(check.data());
    std::atomic<bool> go{false};
    std::array<uint32_t, 2> results{};
    auto run = [&](size_t i) {
        while (!go.load()) std::this_thread::yield();
        results[i] = Crc32(begin, begin + check.size(), 0xFFFFFFFFu);
    };
    std::thread first(run, 0);
    std::thread second(run, 1);
    go.store(true);
    first.join();
    second.join();
    EXPECT_EQ(results[0], 0x0376E6E7u);
    EXPECT_EQ(results[1], 0x0376E6E7u);
}

}  // namespace
