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
                // A lone last packet cannot show its stride: take the one of the run before.
                if (needed == 1 && candidate != (stride != 0 ? stride : kStrides.front())) continue;
                size_t seen = 1;
                while (seen < needed && window[at + seen * candidate] == kSyncByte) ++seen;
                if (seen == needed) {
                    skipped += at - begin;
                    begin = at;
                    stride = candidate;
                    return true;
                }
            }
        }
        skipped += at - begin;
        begin = at;
        if (atEof) {
            skipped += end - begin;
            begin = end;
            return false;
        }
    }
}

const uint8_t* PacketReader::Next() {
    if (locked) {
        // The previous packet stays in place until here, so its stride is consumed only now.
        const size_t step = std::min(stride, end - begin);
        begin += step;
        Fill(kTsPacketSize);
        if (end - begin < kTsPacketSize) {
            skipped += end - begin;
            begin = end;
            locked = false;
            return nullptr;
        }
        if (window[begin] == kSyncByte) return window.data() + begin;
        locked = false;
    }
    if (!Lock()) return nullptr;
    locked = true;
    return window.data() + begin;
}
