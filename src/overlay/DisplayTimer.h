#pragma once

#include <cstdint>

namespace insigno {

// The display timer's period for DisplaySeconds, in milliseconds. Computed in 64 bits and capped
// at the largest period a Win32 timer takes (0x7FFFFFFF, which Windows itself clamps to): the
// plain product overflows int beyond 2147483 seconds. Zero or less gives 0 (no timer is armed).
uint32_t DisplayTimerPeriod(int displaySeconds);

}  // namespace insigno
