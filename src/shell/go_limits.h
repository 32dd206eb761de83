#pragma once
// The limits of a "go" command: a depth, or a clock with an optional increment.

#include <cstdint>

#include "search/search.h"

constexpr int32_t StartDepthLimit = 20;     // the limit before any "go depth"
constexpr int32_t InfiniteDepthLimit = 15;  // "go depth infinite"

// Reads the words of a "go" line; `maxDepth` is the limit in force before it.
// After the optional "ponder" and "draw", "depth D" or "time T [increment I]
// [movestogo M]"; "nodes N" may stand anywhere. The depth limit persists from
// one "go" to the next unless "depth" changes it; a clock and a node limit
// apply to this "go" only.
SearchLimits ReadGoLimits(char* const* words, int count, int32_t maxDepth);
