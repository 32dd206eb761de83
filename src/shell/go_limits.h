#pragma once
// The limits of a "go" command: a depth, or a clock with an optional increment.

#include <cstdint>

constexpr int32_t StartDepthLimit = 20;     // the limit before any "go depth"
constexpr int32_t InfiniteDepthLimit = 15;  // "go depth infinite"
constexpr int32_t DeepestIteration = 127;   // the search takes its depth in 8 bits

struct GoLimits {
    int32_t maxDepth;  // persists from one "go" to the next unless "depth" changes it
    bool timed;        // word 1 is "time": the time control decides between iterations
    int32_t total;     // the time plus the increment, for the time control
};

// Reads the words of a "go" line; `maxDepth` is the limit in force before it.
GoLimits ReadGoLimits(char* const* words, int count, int32_t maxDepth);

// The deepest iteration to run under a depth limit (none when below 1).
int32_t LastIteration(int32_t maxDepth);
