// The count of plies without a capture, checks beyond a side's quota left out.

#include "rules/rules.h"

uint32_t QuietPlies(const GameHistory& history, uint32_t sideToMove, const RuleSet& rules) {
    uint32_t start = history.count;
    while (start >= 1 && history.moves[start].captured == 0 && history.moves[start].from != 0)
        start--;
    uint32_t checks[2] = {0, 0};
    uint32_t counted = 0;
    bool replyToExtraCheck = false;
    for (uint32_t i = start + 1; i <= history.count; i++) {
        // The last move was the other side's; sides alternate back from there.
        const uint32_t mover = sideToMove ^ 1 ^ ((history.count - i) & 1);
        const bool extraCheck =
            history.moves[i].givesCheck != 0 && ++checks[mover] > rules.countedChecks;
        if (!extraCheck && !replyToExtraCheck) counted++;
        replyToExtraCheck = extraCheck;
    }
    return counted;
}
