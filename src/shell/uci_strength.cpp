// UCI_LimitStrength: a weaker engine for a chosen rating, by a shallower,
// smaller search and a choice among its best lines, the weaker the rating
// the further below the best.

#include <cmath>

#include "position/random.h"
#include "shell/uci.h"

namespace {

// The plans matched against Fairy-Stockfish's levels at 5 s + 0.05 s; the
// ratings between two are planned in between (the nodes geometrically).
// The weakest draws among its four best lines nearly at random, as the
// weakest levels of other engines do; from the strongest on, it plays its
// best line.
struct StrengthAnchor {
    int32_t elo;
    int32_t maxDepth;
    uint32_t nodes;
    int32_t margin;
};
// clang-format off
constexpr StrengthAnchor Anchors[] = {
    // rating       depth  nodes   margin
    {WeakestElo,    1,     1000,   40},
    {1400,          1,     1260,   36},
    {1800,          3,     6500,   15},
    {2200,          7,     83000,  4},
    {2600,          8,     150000, 3},
    {StrongestElo,  9,     250000, 3},
};
// clang-format on
constexpr int AnchorCount = int(sizeof Anchors / sizeof Anchors[0]);

}  // namespace

StrengthPlan PlanStrength(int32_t elo) {
    const int32_t held = elo < WeakestElo ? WeakestElo : elo > StrongestElo ? StrongestElo : elo;
    int i = 0;
    while (i + 2 < AnchorCount && held > Anchors[i + 1].elo) i++;
    const StrengthAnchor& low = Anchors[i];
    const StrengthAnchor& high = Anchors[i + 1];
    const double t = double(held - low.elo) / double(high.elo - low.elo);
    StrengthPlan plan;
    plan.maxDepth = low.maxDepth + int32_t(std::lround(t * (high.maxDepth - low.maxDepth)));
    plan.nodes = uint32_t(double(low.nodes) * std::pow(double(high.nodes) / low.nodes, t) + 0.5);
    plan.margin = low.margin + int32_t(std::lround(t * (high.margin - low.margin)));
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
