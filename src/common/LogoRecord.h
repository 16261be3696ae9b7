#pragma once

#include <cstdint>
#include <vector>

// One broadcaster logo: the PNG bytes as broadcast (no PLTE chunk) and the ids that name it.
struct LogoRecord {
    uint16_t originalNetworkId = 0;
    uint16_t logoId = 0;
    uint16_t logoVersion = 0;
    uint8_t logoType = 0xFF;
    std::vector<uint8_t> data;
    int32_t width = 0;
    int32_t height = 0;

    // Empties the bytes and marks the type unknown; the ids stay, as the CDT parser expects.
    void Clear() {
        data.clear();
        logoType = 0xFF;
    }

    // Sets width and height from the logo type alone, whatever the image itself says.
    void ApplySizeByType();
};

struct LogoSize {
    int32_t width;
    int32_t height;
};

// Display size of a logo type; 0 x 0 for types without one.
LogoSize SizeForLogoType(uint8_t logoType);
