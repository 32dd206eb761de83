#include "search/clock.h"

#include <chrono>

int64_t ClockMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int32_t ElapsedSince(int64_t start) {
    int64_t elapsed = ClockMilliseconds() - start;
    if (elapsed < 0) return 0;
    return elapsed > INT32_MAX ? INT32_MAX : int32_t(elapsed);
}
