// Iterative deepening: one root search per depth, the time plan asked only
// between iterations, a deadline within them, and pondering until the move
// pondered on is played.

#include "rules/rules.h"
#include "search/clock.h"
#include "search/search.h"
#include "search/threads.h"
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
    // A mate search: a mate short enough, or a depth that shows every mate
    // of that many moves (2N - 1 plies), ends it.
    const int32_t wanted = state.modern.mateMoves;
    if (wanted > 0)
        return (score >= MateThreshold && MateInMoves(score) <= wanted) || depth >= 2 * wanted + 1;
    if (!IsMateScore(score)) return false;
    if (state.profile == ProfileClassic) return true;
    const int32_t plies = MateScore - (score < 0 ? -score : score);
    return depth >= plies;
}

// One of the best lines of a search that reports several.
struct RootLine {
    Move move;
    int16_t score;
    PrincipalVariation pv;
};

bool HasLineFor(const RootLine* lines, int count, Move move) {
    for (int i = 0; i < count; i++)
        if (lines[i].move == move) return true;
    return false;
}

// The lines after the first, each searched with the moves of the lines
// before it left out, then all of them in score order. The best line's move
// goes back into the root's entry, where the answer is read. The count of
// lines, fewer when the moves run out; the search may have been stopped.
template <SearchProfile Profile>
int SearchFurtherLines(SearchState& state, Position& pos, int32_t depth, int wanted,
                       RootLine* lines, const int16_t* previous, int previousCount) {
    int count = 1;
    while (count < wanted && lines[count - 1].move != 0) {
        state.root.excluded[state.root.excludedCount++] = lines[count - 1].move;
        pos.Ply = 0;
        // A line new at this depth has no score to centre a window on.
        const int16_t centre = count < previousCount ? previous[count] : int16_t(-MateScore);
        const int16_t score = SearchIteration<Profile>(state, pos, depth, centre);
        if (state.stopped) break;
        Move move = 0;
        ProbeHashMove(state.hash, pos, move);
        // A lone reply to check is answered whatever is left out.
        if (move == 0 || HasLineFor(lines, count, move)) break;
        lines[count].move = move;
        lines[count].score = score;
        DrawPrincipalVariation(state.hash, pos, lines[count].pv);
        count++;
    }
    state.root.excludedCount = 0;
    if (state.stopped) return count;
    for (int i = 1; i < count; i++) {
        const RootLine line = lines[i];
        int j = i;
        for (; j > 0 && lines[j - 1].score < line.score; j--) lines[j] = lines[j - 1];
        lines[j] = line;
    }
    StoreHash(state.hash, pos, lines[0].move, lines[0].score, int8_t(depth), BoundExact);
    return count;
}

}  // namespace

SearchAnswer RunSearch(SearchState& state, Position& pos, const SearchLimits& limits,
                       const SearchReporter& reporter) {
    // 1. Nothing learnt in one classic search is carried into the next; the
    //    modern profile keeps its table and what its history learnt.
    state.modern.mateMoves = limits.mate > 0 ? limits.mate : 0;
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

    // 3. One iteration per depth. The root plays only the moves asked for,
    //    and a search for several lines finds each after the first with the
    //    moves of the lines before it left out.
    state.root.allowedCount = 0;
    for (int32_t i = 0; i < limits.searchMoveCount && i < MaxGeneratedMoves; i++)
        state.root.allowed[state.root.allowedCount++] = limits.searchMoves[i];
    state.root.excludedCount = 0;
    const int wanted = limits.lines < 1                   ? 1
                       : limits.lines > MaxGeneratedMoves ? MaxGeneratedMoves
                                                          : int(limits.lines);
    RootLine lines[MaxGeneratedMoves];
    int16_t previousScores[MaxGeneratedMoves];
    int previousCount = 0;
    StartHelpers(state, pos, limits);
    SearchAnswer answer{};
    IterationReport report{};
    const int32_t last = LastIteration(limits.maxDepth);
    const bool modern = state.profile == ProfileModern;
    for (int32_t d = 1; d <= last; d++) {
        state.rootDepth = d;
        state.selDepth = 0;
        pos.Ply = 0;
        int16_t score = modern ? SearchIteration<ProfileModern>(state, pos, d, answer.score)
                               : SearchIteration<ProfileClassic>(state, pos, d, answer.score);
        int lineCount = 1;
        if (!state.stopped && wanted > 1) {
            lines[0].move = 0;
            ProbeHashMove(state.hash, pos, lines[0].move);
            lines[0].score = score;
            DrawPrincipalVariation(state.hash, pos, lines[0].pv);
            lineCount = modern ? SearchFurtherLines<ProfileModern>(state, pos, d, wanted, lines,
                                                                   previousScores, previousCount)
                               : SearchFurtherLines<ProfileClassic>(state, pos, d, wanted, lines,
                                                                    previousScores, previousCount);
            score = lines[0].score;
        }
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
        report = IterationReport{true,      d,
                                 score,     ScoreExact,
                                 elapsed,   state.nodes,
                                 answer.pv, state.selDepth,
                                 1,         HashFullPerMille(state.hash, modern)};
        if (wanted == 1) {
            Report(state, report);
        } else {
            for (int i = 0; i < lineCount; i++) {
                report.score = lines[i].score;
                report.pv = i == 0 ? answer.pv : lines[i].pv;
                report.line = i + 1;
                Report(state, report);
                previousScores[i] = lines[i].score;
            }
            previousCount = lineCount;
        }
        // 3.3 The clock, the node limit or a mate found ends the deepening.
        if (outOfTime || NodesUsedUp(state) || MateSettled(state, d, score)) break;
    }
    state.root.allowedCount = 0;
    WaitWhilePondering(state);
    FinishHelpers(state, pos, answer, start);

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
