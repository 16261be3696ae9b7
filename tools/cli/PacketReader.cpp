#include "PacketReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace {

constexpr uint8_t kSyncByte = 0x47;
constexpr std::array<size_t, 3> kStrides{188, 192, 204};
// Sync bytes that must line up before a run is believed; fewer only where the input ends.
constexpr size_t kConfirm = 5;
constexpr size_t kLookAhead = kConfirm * 204;
constexpr size_t kWindowSize = 256 * 1024;

}  // namespace

PacketReader::PacketReader(std::istream& input) : in(input), window(kWindowSize) {}

// Makes at least `wanted` bytes available from `begin` if the input still has them.
bool PacketReader::Fill(size_t wanted) {
    if (end - begin >= wanted) return true;
    if (begin > 0) {
        std::memmove(window.data(), window.data() + begin, end - begin);
        windowOffset += begin;
        end -= begin;
        begin = 0;
    }
    while (!atEof && end < window.size()) {
        in.read(reinterpret_cast<char*>(window.data() + end),
                static_cast<std::streamsize>(window.size() - end));
        end += static_cast<size_t>(in.gcount());
        if (in.bad()) throw std::runtime_error("read error");
        if (in.eof()) atEof = true;
        if (end - begin >= wanted) break;
    }
    return end - begin >= wanted;
}

// Finds the next run of sync bytes at one of the known strides; skips what lies before it.
bool PacketReader::Lock() {
    for (;;) {
        Fill(kLookAhead + kTsPacketSize);
        size_t at = begin;
        for (; at + kTsPacketSize <= end; ++at) {
            if (window[at] != kSyncByte) continue;
            // A candidate is judged on a full look-ahead unless the input ends sooner.
            if (!atEof && end - at < kLookAhead + kTsPacketSize) break;
            for (size_t candidate : kStrides) {
                const size_t fits = (end - at - kTsPacketSize) / candidate + 1;
                const size_t needed = std::min(kConfirm, fits);
                // Where the input ends before a full look-ahead, a few packets cannot prove a
                // stride: take them in the stride of the run before, or, in a short input without
                // one, only as whole packets from its very start.
                if (needed < kConfirm) {
                    const size_t lead = candidate == 192 ? 4 : 0;
                    const bool sameRun = stride != 0 && candidate == stride;
                    const bool wholeInput = stride == 0 && windowOffset + at == lead &&
                                            (end - at + lead) % candidate == 0;
                    if (!sameRun && !wholeInput) continue;
                }
                size_t seen = 1;
                while (seen < needed && window[at + seen * candidate] == kSyncByte) ++seen;
                if (seen == needed) {
                    begin = at;
                    stride = candidate;
                    return true;
                }
            }
        }
        begin = at;
        if (atEof) {
            begin = end;
            return false;
        }
    }
}

const uint8_t* PacketReader::Next() {
    if (locked) {
        // The previous packet stays in the window until here: when the run breaks, the search
        // starts right behind its sync byte, so a cut packet costs no more than itself.
        Fill(stride + kTsPacketSize);
        if (end - begin >= stride + kTsPacketSize && window[begin + stride] == kSyncByte) {
            begin += stride;
            return window.data() + begin;
        }
        locked = false;
        begin += 1;
    }
    if (!Lock()) return nullptr;
    locked = true;
    return window.data() + begin;
}
