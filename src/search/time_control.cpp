#include "search/time_control.h"

namespace {

constexpr int32_t MovesToPlan = 40;
constexpr int32_t ScoreFallThatExtends = 60;
constexpr uint8_t SettledIterations = 4;

}  // namespace

void StartTimeControl(TimeControl& control, int32_t total) {
    control.Allotment = total / MovesToPlan;
    control.Limit = control.Allotment;
    control.LastBestMove = 0;
    control.LastScore = 0;
    control.StableCount = 0;
}

bool ShouldStop(TimeControl& control, int32_t elapsed, uint16_t bestMove, int16_t score) {
    if (bestMove == control.LastBestMove) {
        control.StableCount++;
        if (control.StableCount >= SettledIterations && elapsed > control.Allotment / 2)
            return true;
    } else {
        control.LastBestMove = bestMove;
        control.StableCount = 1;
    }
    if (control.LastScore - score >= ScoreFallThatExtends) {
        // Many extensions of a huge allotment would pass the 32-bit range.
        int64_t extended = int64_t(control.Limit) + control.Allotment;
        if (extended > INT32_MAX) extended = INT32_MAX;
        if (extended < INT32_MIN) extended = INT32_MIN;
        control.Limit = int32_t(extended);
    }
    control.LastScore = score;
    return control.Limit <= elapsed;
}
