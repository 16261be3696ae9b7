#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Fails the run: libFuzzer keeps the input that got here.
#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (0)

// Reads a fuzz input front to back; past its end every read gives zeros, so that a seed written
// by hand or by a tool reads the same as it was written.
class FuzzReader {
public:
    FuzzReader(const uint8_t* data, size_t size) : at(data), end(data + size) {}

    bool Empty() const { return at == end; }
    uint8_t Byte() { return at == end ? 0 : *at++; }
    uint16_t Word() {  // big-endian, as in the stream
        const uint16_t high = Byte();
        return static_cast<uint16_t>(high << 8 | Byte());
    }
    // Up to `count` bytes: fewer where the input ends.
    std::vector<uint8_t> Bytes(size_t count) {
        const size_t n =
            count < static_cast<size_t>(end - at) ? count : static_cast<size_t>(end - at);
        std::vector<uint8_t> bytes(at, at + n);
        at += n;
        return bytes;
    }
    std::vector<uint8_t> Rest() { return Bytes(static_cast<size_t>(end - at)); }

private:
    const uint8_t* at;
    const uint8_t* end;
};
