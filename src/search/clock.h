#pragma once
// A monotonic millisecond clock for the time a search has taken.

#include <cstdint>

int64_t ClockMilliseconds();
// Milliseconds since `start`, held within the 32-bit range.
int32_t ElapsedSince(int64_t start);
