#pragma once

#include <cstdint>

// CRC-32/MPEG-2 of ISO/IEC 13818-1 Annex A: polynomial 0x04C11DB7, MSB first, no reflection,
// no final XOR. Sections start from 0xFFFFFFFF; a section followed by its own CRC gives 0.
uint32_t Crc32(const uint8_t* begin, const uint8_t* end, uint32_t initial);
