#include "DisplayTimer.h"

#include <algorithm>

namespace insigno {

uint32_t DisplayTimerPeriod(int displaySeconds) {
    constexpr int64_t kLongestPeriod = 0x7FFFFFFF;
    if (displaySeconds <= 0) return 0;
    return static_cast<uint32_t>(std::min<int64_t>(int64_t{displaySeconds} * 1000, kLongestPeriod));
}

}  // namespace insigno
