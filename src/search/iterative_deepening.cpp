// Iterative deepening: one root search per depth, the time plan asked only
// between iterations, a deadline within them, and pondering until the move
// pondered on is played.

#include "rules/rules.h"
#include "search/clock.h"
#include "search/search.h"
#include "search/time_manager.h"
#include "search/transposition.h"
#include "search/tree.h"

namespace {

void Report(const SearchState& state, const IterationReport& report) {
    const SearchReporter* reporter = state.reporter;
    if (reporter && reporter->iteration) reporter->iteration(reporter->context, report);
}

bool NodesUsedUp(const SearchState& state) {
    return state.nodeLimit && state.nodes >= state.nodeLimit;
}

// A pondering search that has nothing left to search answers only once the
// move pondered on is played, or on "stop".
void WaitWhilePondering(SearchState& state) {
    const SearchReporter* reporter = state.reporter;
    if (!reporter || !reporter->poll) return;
    while (state.clock.pondering && !state.stopped) {
        if (ShouldInterrupt(state)) state.stopped = true;
        if (state.clock.pondering && reporter->idle) reporter->idle(reporter->context);
    }
}

}  // namespace

int32_t LastIteration(int32_t maxDepth) {
    return maxDepth > DeepestIteration ? DeepestIteration : maxDepth;
}

namespace {

// One iteration. The modern profile searches a window around the previous
// score first and widens it on each side that fails, until the score lies
// within it.
template <SearchProfile Profile>
int16_t SearchIteration(SearchState& state, Position& pos, int32_t depth, int16_t previous) {
    if (Profile == ProfileClassic || depth < 4 || IsMateScore(previous))
        return SearchRoot<Profile>(state, pos, int8_t(depth));
    int32_t window = state.parameters.aspirationWindow;
    int32_t alpha = previous - window, beta = previous + window;
    for (;;) {
        if (alpha < -MateScore) alpha = -MateScore;
        if (beta > MateScore) beta = MateScore;
        pos.Ply = 0;
        const int16_t score =
            SearchRoot<Profile>(state, pos, int8_t(depth), int16_t(alpha), int16_t(beta));
        if (state.stopped) return score;
        if (score <= alpha && alpha > -MateScore) {
            beta = (alpha + beta) / 2;
            alpha = score - window;
        } else if (score >= beta && beta < MateScore) {
            beta = score + window;
        } else {
            return score;
        }
        window += window / 2;
    }
}

// A mate score ends the deepening. The modern search reduces and prunes, so
// the first mate it finds may be a longer one: it searches on until the
// iteration's depth reaches the mate's plies, where a shorter one shows.
bool MateSettled(const SearchState& state, int32_t depth, int16_t score) {
    if (!IsMateScore(score)) return false;
    if (state.profile == ProfileClassic) return true;
    const int32_t plies = MateScore - (score < 0 ? -score : score);
    return depth >= plies;
}

}  // namespace

SearchAnswer RunSearch(SearchState& state, Position& pos, const SearchLimits& limits,
                       const SearchReporter& reporter) {
    // 1. Nothing learnt in one classic search is carried into the next; the
    //    modern profile keeps its table and what its history learnt.
    if (state.profile == ProfileModern) {
        StartModernSearch(state);
        const GameHistory history{pos.MoveStack, pos.KeyStack, pos.MoveCount};
        state.modern.rootQuietPlies = QuietPlies(history, pos.SideToMove, StandardRules);
    } else {
        ResetSearchTables(state);
    }

    // 2. The limits. A pondering search starts its clock at the ponderhit.
    state.reporter = &reporter;
    state.nodeLimit = limits.nodes;
    const int64_t start = ClockMilliseconds();
    StartSearchClock(state.clock, limits, start, state.profile);

    // 3. One iteration per depth.
    SearchAnswer answer{};
    IterationReport report{};
    const int32_t last = LastIteration(limits.maxDepth);
    for (int32_t d = 1; d <= last; d++) {
        state.rootDepth = d;
        pos.Ply = 0;
        const int16_t score = state.profile == ProfileModern
                                  ? SearchIteration<ProfileModern>(state, pos, d, answer.score)
                                  : SearchIteration<ProfileClassic>(state, pos, d, answer.score);
        const int32_t elapsed = ElapsedSince(start);
        // 3.1 An interrupted iteration is never reported as a completed one.
        if (state.stopped) {
            report.completed = false;
            report.depth = d;
            report.elapsed = elapsed;
            report.nodes = state.nodes;
            Report(state, report);
            break;
        }
        // 3.2 The answer of a completed iteration, and its line drawn from
        //     the table.
        Move best = 0;
        ProbeHashMove(state.hash, pos, best);
        answer.best = best;
        answer.score = score;
        answer.bound = ScoreExact;
        answer.depth = d;
        DrawPrincipalVariation(state.hash, pos, answer.pv);
        const double bestShare = state.modern.iterationNodes ? double(state.modern.bestMoveNodes) /
                                                                   state.modern.iterationNodes
                                                             : 0;
        const bool outOfTime = PlanEndsSearch(state.clock, best, score, bestShare);
        report = IterationReport{true, d, score, ScoreExact, elapsed, state.nodes, answer.pv};
        Report(state, report);
        // 3.3 The clock, the node limit or a mate found ends the deepening.
        if (outOfTime || NodesUsedUp(state) || MateSettled(state, d, score)) break;
    }
    WaitWhilePondering(state);

    // 4. Nothing is polled or reported once the search has ended. The move
    //    and the reply to ponder on are read where the last iteration left
    //    them.
    state.reporter = nullptr;
    StopSearchClock(state.clock);
    KeepRootAnswer(state.hash, pos, answer.best, answer.score, answer.depth);
    Move best = 0, ponder = 0;
    DrawBestMove(state.hash, pos, best, ponder);
    answer.best = best;
    answer.ponder = ponder;
    return answer;
}
