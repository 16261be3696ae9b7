#include "LogoRecord.h"

#include <array>

LogoSize SizeForLogoType(uint8_t logoType) {
    static constexpr std::array<LogoSize, 6> kSizes{{
        {48, 24},
        {36, 24},
        {48, 27},
        {72, 36},
        {54, 36},
        {64, 36},
    }};
    if (logoType < kSizes.size()) return kSizes[logoType];
    return {0, 0};
}

void LogoRecord::ApplySizeByType() {
    const LogoSize size = SizeForLogoType(logoType);
    width = size.width;
    height = size.height;
}
