// UCI_LimitStrength: a weaker engine for a chosen rating, by a shallower,
// smaller search and a choice among its best lines that never gives away
// material by the search's own reckoning.

#include "position/random.h"
#include "shell/uci.h"

namespace {

constexpr int32_t WeakestElo = 800, StrongestElo = 2400;
constexpr int32_t EloSpan = StrongestElo - WeakestElo;
// Below an uncrossed pawn (10): a line chosen instead of the best never
// loses a pawn more than the best line does.
constexpr int32_t WidestMargin = 8;

int32_t HeldElo(int32_t elo) {
    return elo < WeakestElo ? WeakestElo : elo > StrongestElo ? StrongestElo : elo;
}

}  // namespace

StrengthPlan PlanStrength(int32_t elo) {
    const int32_t above = HeldElo(elo) - WeakestElo;
    StrengthPlan plan;
    plan.maxDepth = 1 + above * 9 / EloSpan;
    plan.nodes = 1000u << (above / 200);
    plan.margin = (EloSpan - above) * WidestMargin / EloSpan;
    return plan;
}

Move ChooseWithinMargin(const StrengthLines& lines, int32_t margin, uint32_t random) {
    if (lines.count == 0) return 0;
    const int32_t best = lines.scores[0];
    // A mate is played, and no mate is walked into.
    if (IsMateScore(best)) return lines.moves[0];
    int candidates = 0;
    for (int i = 0; i < lines.count; i++) {
        if (IsMateScore(lines.scores[i]) || lines.scores[i] < best - margin) break;
        candidates++;
    }
    return lines.moves[random % uint32_t(candidates)];
}

Move ChooseWeakerMove(const StrengthLines& lines, int32_t elo) {
    return ChooseWithinMargin(lines, PlanStrength(elo).margin, Random15());
}
