#pragma once
// The clock of a timed search: asked only between iterations whether another
// one may start. Each move gets a fortieth of the time given, once more for
// every sharp fall of the score, and less when the best move has settled.

#include <cstdint>

struct TimeControl {
    int32_t Limit;          // ms since the start of "go" after which no iteration starts
    int32_t Allotment;      // ms, the base time of this move
    uint16_t LastBestMove;  // best move after the previous iteration
    int16_t LastScore;      // score of the previous iteration
    uint8_t StableCount;    // iterations in a row, the latest included, ending with LastBestMove
};

// `total`: the time left plus the increment, in milliseconds.
void StartTimeControl(TimeControl& control, int32_t total);
// After an iteration that ended `elapsed` ms after the start of "go" with this
// best move (0 for none) and score: true when no further iteration may start.
bool ShouldStop(TimeControl& control, int32_t elapsed, uint16_t bestMove, int16_t score);
