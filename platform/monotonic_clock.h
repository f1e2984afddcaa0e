// Milliseconds from a clock that never jumps (not the wall clock, which the user or
// NTP may set back). The count wraps after about 49 days; callers take differences
// as unsigned 32-bit numbers, so a wrap between two readings does no harm.
#pragma once

#include <cstdint>

namespace ruvane {

uint32_t monotonicMilliseconds();

}  // namespace ruvane
