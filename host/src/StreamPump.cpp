#include "insigno/host/StreamPump.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "insigno/host/Text.h"

namespace insigno::host {

StreamPump::StreamPump(const std::filesystem::path& file, double rate, bool repeat)
    : bitRate(rate), loop(repeat) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the stream " + Utf8Path(file));
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    data.resize(data.size() / PACKET_SIZE * PACKET_SIZE);
    holdHistogram.assign(std::size_t{1} << 16, 0);
    if (data.empty()) throw std::runtime_error("the stream " + Utf8Path(file) + " holds no packet");
}

StreamPump::~StreamPump() {
    Stop();
}

void StreamPump::Start(TVTest::StreamCallbackFunc callback, void* clientData, Gate gate) {
    if (thread.joinable() || !callback) return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = false;
    }
    closed = false;
    thread = std::thread(&StreamPump::Run, this, callback, clientData, std::move(gate));
}

void StreamPump::Pause() {
    std::lock_guard<std::mutex> lock(mutex);
    paused = true;
}

void StreamPump::Resume() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        paused = false;
    }
    wake.notify_all();
}

void StreamPump::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (thread.joinable()) thread.join();
}

StreamPump::Holds StreamPump::CallbackHolds() const {
    Holds holds;
    for (const std::uint64_t count : holdHistogram) holds.callbacks += count;
    if (holds.callbacks == 0) return holds;
    // The smallest bucket that reaches 99.9 % of the callbacks, counted as its upper edge.
    const std::uint64_t wanted = holds.callbacks - holds.callbacks / 1000;
    std::uint64_t seen = 0;
    for (std::size_t us = 0; us < holdHistogram.size(); ++us) {
        seen += holdHistogram[us];
        if (seen >= wanted) {
            holds.p999Us = static_cast<std::int64_t>(us) + 1;
            break;
        }
    }
    holds.maxUs = (longestHoldNs + 999) / 1000;
    holds.p999Us = std::min(holds.p999Us, holds.maxUs);
    return holds;
}

bool StreamPump::WaitWhilePaused() {
    std::unique_lock<std::mutex> lock(mutex);
    wake.wait(lock, [this] { return !paused || stopping; });
    return !stopping;
}

void StreamPump::Run(TVTest::StreamCallbackFunc callback, void* clientData, Gate gate) {
    using Clock = std::chrono::steady_clock;
    // The viewer hands each packet from its own buffer; so does the stand-in.
    alignas(16) BYTE packet[PACKET_SIZE];
    const std::size_t count = PacketsPerPass();
    // Pacing restarts after a pause, so a pause does not turn into a burst.
    auto paceStart = Clock::now();
    std::uint64_t pacedPackets = 0;
    for (std::size_t index = 0;; ++index) {
        if (index == count) {
            passes.fetch_add(1);
            if (!loop) return;
            index = 0;
        }
        bool wasPaused = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            wasPaused = paused;
            if (stopping) return;
        }
        if (wasPaused) {
            if (!WaitWhilePaused()) return;
            paceStart = Clock::now();
            pacedPackets = 0;
        }
        if (gate && !gate()) {
            closed = true;
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [this] { return stopping; });
            return;
        }
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(index * PACKET_SIZE), PACKET_SIZE,
                    packet);
        const auto entered = Clock::now();
        callback(packet, clientData);
        const std::int64_t heldNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - entered).count();
        ++holdHistogram[std::min<std::size_t>(static_cast<std::size_t>(heldNs / 1000),
                                              holdHistogram.size() - 1)];
        longestHoldNs = std::max(longestHoldNs, heldNs);
        packets.fetch_add(1);
        ++pacedPackets;
        if (bitRate > 0) {
            const auto due =
                paceStart +
                std::chrono::duration_cast<Clock::duration>(
                    std::chrono::duration<double>(pacedPackets * PACKET_SIZE * 8 / bitRate));
            // Waits on the condition so that Stop need not wait out a slow rate.
            std::unique_lock<std::mutex> lock(mutex);
            if (wake.wait_until(lock, due, [this] { return stopping; })) return;
        } else if (index + 1 == count) {
            std::this_thread::yield();  // leave the other threads a moment at the end of a pass
        }
    }
}

}  // namespace insigno::host
