#pragma once

// The viewer's streaming thread: reads a transport-stream file and hands every 188-byte packet to
// the plug-in's stream callback, paced to a bit rate or as fast as the callback returns, once or
// over and over, and can be paused.

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "HostProtocol.h"

namespace insigno::host {

class StreamPump {
public:
    static constexpr std::size_t PACKET_SIZE = 188;

    // Reads the whole file (the stand-in plays test streams, not recordings); throws
    // std::runtime_error when it cannot be read or holds no packet.
    StreamPump(const std::filesystem::path& file, double bitRate, bool loop);
    ~StreamPump();
    StreamPump(const StreamPump&) = delete;
    StreamPump& operator=(const StreamPump&) = delete;

    // Asked before every packet whether the callback is still registered; once it answers false
    // the pump delivers nothing more (the viewer has honoured a removal) and idles until stopped.
    using Gate = std::function<bool()>;

    void Start(TVTest::StreamCallbackFunc callback, void* clientData, Gate gate = {});
    void Pause();
    void Resume();
    // Joins the thread; no packet is delivered after it returns.
    void Stop();

    std::uint64_t Packets() const { return packets.load(); }
    // Passes completed through the whole file.
    std::uint64_t Passes() const { return passes.load(); }
    std::size_t PacketsPerPass() const { return data.size() / PACKET_SIZE; }
    // Whether the gate closed: the callback was removed while the pump ran.
    bool Closed() const { return closed.load(); }
    bool Running() const { return thread.joinable(); }

    // How long the plug-in's stream callback held the stream thread, per packet handed over.
    struct Holds {
        std::uint64_t callbacks = 0;
        std::int64_t p999Us = 0;  // 99.9th percentile, rounded up to the microsecond
        std::int64_t maxUs = 0;
    };
    // Read after Stop, or before Start.
    Holds CallbackHolds() const;

private:
    void Run(TVTest::StreamCallbackFunc callback, void* clientData, Gate gate);
    // Blocks while paused; false once the pump is stopping.
    bool WaitWhilePaused();

    std::vector<BYTE> data;
    double bitRate;
    bool loop;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;
    bool paused = false;
    bool stopping = false;
    std::atomic<std::uint64_t> packets{0};
    std::atomic<std::uint64_t> passes{0};
    std::atomic<bool> closed{false};
    // Callbacks by whole microseconds taken (the last bucket: that long or longer), and the
    // longest; written by the pump's thread only.
    std::vector<std::uint64_t> holdHistogram;
    std::int64_t longestHoldNs = 0;
};

}  // namespace insigno::host
