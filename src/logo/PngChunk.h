#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// PNG's framing, written once for every PNG the module and its tools make or check: the
// signature, and chunks of a big-endian length, a four-letter type, the data and the CRC-32 of
// type and data.

inline constexpr std::array<uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// PNG's CRC-32 of `size` bytes: a chunk's type followed by its data.
uint32_t PngChunkCrc(const uint8_t* typeAndData, size_t size);

// Four bytes, most significant first, as every number of PNG.
void AppendPngU32(std::vector<uint8_t>& out, uint32_t value);

uint32_t PngU32At(const uint8_t* bytes);

// Appends one whole chunk to `png`.
void AppendPngChunk(std::vector<uint8_t>& png, const char (&type)[5],
                    const std::vector<uint8_t>& data);
