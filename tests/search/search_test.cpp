#include "search/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "eval/eval.h"
#include "position/position.h"
#include "search/clock.h"
#include "search/search_test_support.h"
#include "search/transposition.h"
#include "search/tree.h"
#include "support/reference_rules.h"

namespace {

Move Code(const char* text) {
    return MoveOf(ParseMoveString(text));
}

struct MateCase {
    const char* fen;
    int depth;
    bool untilMate;  // false: every depth is searched, as the shortest mate needs
    int16_t score;
    const char* best;  // nullptr: any move
};

TEST(Search, MatesAndStalemates) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    const MateCase cases[] = {
        // Two rooks: a0a9 mates at once.
        {"4k4/8R/9/9/9/9/9/9/9/R2K5 w - - 0 1", 3, true, 9999, "a0a9"},
        // One rook cuts the king off, the other mates next move. The checks
        // alone find a mate in three at depth 1, where "go" would stop.
        {"4k4/9/9/9/9/9/9/9/9/R2K4R w - - 0 1", 1, true, 9995, "a0a9"},
        {"4k4/9/9/9/9/9/9/9/9/R2K4R w - - 0 1", 3, false, 9997, nullptr},
        // Black has no move at all (not in check): any red move wins.
        {"4k4/3P5/9/9/9/9/9/9/5R3/3K5 w - - 0 1", 2, true, 9999, nullptr},
        // The stalemated side to move loses at once.
        {"4k4/3P5/9/9/5R3/9/9/9/9/3K5 b - - 0 1", 2, true, -MateScore, nullptr},
        // Mated: no legal move in check.
        {"R3k4/8R/9/9/9/9/9/9/9/3K5 b - - 0 1", 2, true, -MateScore, nullptr},
    };
    Position& pos = ScratchPosition();
    for (const MateCase& c : cases) {
        LoadFen(c.fen, pos);
        SearchOutcome r{0, 0};
        if (c.untilMate) {
            r = SearchTo(state, pos, c.depth);
        } else {
            // Root searches one depth after another, on past the first mate score.
            ResetSearchTables(state);
            for (int d = 1; d <= c.depth; d++) {
                state.rootDepth = d;
                pos.Ply = 0;
                r.score = SearchRoot(state, pos, int8_t(d));
            }
            ProbeHashMove(state.hash, pos, r.best);
        }
        EXPECT_EQ(r.score, c.score) << c.fen;
        if (c.best) {
            EXPECT_EQ(r.best, Code(c.best)) << c.fen;
        }
        EXPECT_EQ(pos.MoveCount, 0u);
        EXPECT_EQ(CheckInvariants(pos), "");
    }
}

TEST(Search, NoLegalMoveBelowTheRoot) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen("4k4/3P5/9/9/5R3/9/9/9/9/3K5 b - - 0 1", pos);
    ResetSearchTables(state);
    pos.Ply = 1;
    EXPECT_EQ(SearchAlphaBeta(state, pos, 3, -MateScore, MateScore, 1), 1 - MateScore);
    pos.Ply = 50;  // the depth limit: the evaluation, even in check
    EXPECT_EQ(SearchAlphaBeta(state, pos, 3, -MateScore, MateScore, 1), 0 + Evaluate(pos));
    pos.Ply = 0;
}

TEST(Search, RepetitionScores) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    struct Case {
        const char* fen;
        const char* moves[4];
        int16_t score;  // for the side to move after the four moves, at Ply 4
    };
    const Case cases[] = {
        {StartFen, {"b0c2", "b9c7", "c2b0", "c7b9"}, 0},
        {"3k5/9/9/9/9/9/9/9/4R4/5K3 w", {"e1d1", "d9e9", "d1e1", "e9d9"}, 4 - MateScore},
        {"5k3/4r4/9/9/9/9/9/9/9/3K5 b", {"e8d8", "d0e0", "d8e8", "e0d0"}, 4 - MateScore},
        {"5k3/4r4/9/9/9/9/9/9/9/4K4 w", {"e0d0", "e8d8", "d0e0", "d8e8"}, MateScore - 4},
    };
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        LoadFen(c.fen, pos);
        for (const char* m : c.moves) {
            MoveRecord r = ParseMoveString(m);
            ASSERT_TRUE(MakeMove(r, pos));
        }
        ASSERT_EQ(pos.Ply, 4u);
        bool repeated;
        EXPECT_EQ(RepetitionScore(pos, repeated), c.score) << c.fen;
        EXPECT_TRUE(repeated);
        ResetSearchTables(state);
        EXPECT_EQ(SearchAlphaBeta(state, pos, 3, -MateScore, MateScore, 1), c.score) << c.fen;
        EXPECT_EQ(Quiesce(state, pos, -MateScore, MateScore, 0), c.score) << c.fen;
    }
}

TEST(Search, BannedMovesAreNeverPlayed) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen("4k4/8R/9/9/9/9/9/9/9/R2K5 w - - 0 1", pos);
    state.bans.count = 1;
    state.bans.moves[0] = Code("a0a9");
    SearchOutcome r = SearchTo(state, pos, 3);
    EXPECT_NE(r.best, Code("a0a9"));
    EXPECT_NE(r.best, 0);

    // Every legal move banned: nothing to play, and the mate score.
    MoveRecord list[MaxGeneratedMoves + 1];
    const int n = GenerateAll(pos, list);
    state.bans.count = 0;
    for (int i = 0; i < n && i < BanListCapacity; i++)
        state.bans.moves[state.bans.count++] = MoveOf(list[i]);
    r = SearchTo(state, pos, 2);
    EXPECT_EQ(r.score, -MateScore);
    EXPECT_EQ(r.best, 0);
    state.bans.count = 0;
}

TEST(Search, SingleReplyAnswersAtOnce) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    // The red king on e0 is checked by the rook on e5; f0 would face the black
    // king, so d0 is the only reply.
    LoadFen("5k3/9/9/9/4r4/9/9/9/9/4K4 w - - 0 1", pos);
    ASSERT_TRUE(SideToMoveInCheck(pos));
    ASSERT_EQ(RefLegalMoves(pos).size(), 1u);
    ResetSearchTables(state);
    state.rootDepth = 4;
    pos.Ply = 0;
    EXPECT_EQ(SearchRoot(state, pos, 4), -500);
    HashEntry entry;
    ASSERT_TRUE(ProbeHash(state.hash, pos, entry));
    EXPECT_EQ(entry.move, RefMoveCode(RefLegalMoves(pos)[0]));
    EXPECT_EQ(entry.bound, BoundExact);
    EXPECT_EQ(entry.depth, 4);
    EXPECT_EQ(entry.value, -500);
}

// The single reply comes before the banned list: a lone evasion is played
// even when banned.
TEST(Search, ABannedSingleReplyIsStillPlayed) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen("5k3/9/9/9/4r4/9/9/9/9/4K4 w - - 0 1", pos);
    ASSERT_EQ(RefLegalMoves(pos).size(), 1u);
    state.bans.count = 1;
    state.bans.moves[0] = RefMoveCode(RefLegalMoves(pos)[0]);
    const SearchOutcome r = SearchTo(state, pos, 3);
    state.bans.count = 0;
    EXPECT_EQ(r.score, -500);
    EXPECT_EQ(r.best, RefMoveCode(RefLegalMoves(pos)[0]));
}

// After each completed iteration, the root's entry is exact and holds that
// iteration's depth, score and a move that fits; the report's line starts
// with that move.
struct IterationLog {
    const SearchState* state;
    Position* pos;
    int reports;
    int failures;
};

void CheckRootEntry(void* context, const IterationReport& report) {
    IterationLog& log = *static_cast<IterationLog*>(context);
    const SearchState& state = *log.state;
    Position& pos = *log.pos;
    log.reports++;
    HashEntry entry;
    const bool fits =
        report.completed && ProbeHash(state.hash, pos, entry) && entry.depth == report.depth &&
        entry.bound == BoundExact && entry.value == report.score &&
        IsPseudoLegal(pos, RecordOfMove(pos, entry.move)) && report.nodes == state.nodes &&
        report.pv.found && report.pv.listed >= 1 && report.pv.moves[0] == entry.move;
    if (!fits) log.failures++;
}

TEST(Search, IterationsLeaveAnExactRootEntry) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    IterationLog log{&state, &pos, 0, 0};
    const SearchReporter reporter{&log, nullptr, CheckRootEntry, nullptr, nullptr};
    SearchLimits limits;
    limits.maxDepth = 4;
    const SearchAnswer answer = RunSearch(state, pos, limits, reporter);
    EXPECT_EQ(log.reports, 4);
    EXPECT_EQ(log.failures, 0);
    EXPECT_EQ(answer.depth, 4);
    Move stored = 0;
    ASSERT_TRUE(ProbeHashMove(state.hash, pos, stored));
    EXPECT_EQ(answer.best, stored);
    EXPECT_EQ(answer.pv.moves[0], stored);
    EXPECT_EQ(CheckInvariants(pos), "");
    EXPECT_EQ(pos.MoveCount, 0u);
}

// The search leaves the position exactly as it found it, and the same search
// twice gives the same nodes and move.
TEST(Search, RepeatableAndLeavesThePositionAlone) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen("r1bakab1r/9/1cn4c1/p1p1n1p1p/4N4/2N6/P1P1P1P1P/1C5C1/9/R1BAKAB1R w - - 0 1", pos);
    const SearchOutcome first = SearchTo(state, pos, 5);
    const uint32_t nodes = state.nodes;
    const SearchOutcome second = SearchTo(state, pos, 5);
    EXPECT_EQ(state.nodes, nodes);
    EXPECT_EQ(first.best, second.best);
    EXPECT_EQ(first.score, second.score);
    EXPECT_EQ(CheckInvariants(pos), "");
    EXPECT_EQ(pos.MoveCount, 0u);
}

TEST(Search, OptionsChangeTheTree) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    SearchTo(state, pos, 6);
    const uint32_t withAll = state.nodes;
    state.options.historyPruning = state.options.historyReduction = false;
    SearchTo(state, pos, 6);
    const uint32_t withoutHistory = state.nodes;
    state.options.historyPruning = state.options.historyReduction = true;
    state.options.checkInQuiescence = false;
    SearchTo(state, pos, 6);
    const uint32_t withoutChecks = state.nodes;
    EXPECT_GT(withoutHistory, withAll);
    EXPECT_NE(withoutChecks, withAll);
}

}  // namespace

namespace {

// Other positions' entries can take both slots of the root's bucket while an
// iteration is interrupted; the last completed answer is put back.
TEST(Search, TheLastCompletedAnswerSurvivesAnInterruption) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    const SearchOutcome r = SearchTo(state, pos, 3);
    HashSlot* bucket = state.hash.buckets[KeyLow(CurrentKey(pos)) & state.hash.mask].slot;
    for (int i = 0; i < 2; i++) {
        HashEntry e = ReadHashSlot(bucket[i]);
        e.keyLow = KeyLow(CurrentKey(pos)) ^ 0x40000u;  // same bucket, other position
        e.keyHigh = 12345;
        e.depth = 9;
        e.bound = BoundLower;
        WriteHashSlot(bucket[i], e);
    }
    Move found = 0;
    ASSERT_FALSE(ProbeHashMove(state.hash, pos, found));
    KeepRootAnswer(state.hash, pos, r.best, r.score, 3);
    HashEntry entry;
    ASSERT_TRUE(ProbeHash(state.hash, pos, entry));
    EXPECT_EQ(entry.move, r.best);
    EXPECT_EQ(entry.value, r.score);
    EXPECT_EQ(entry.depth, 3);
    EXPECT_EQ(entry.bound, BoundExact);
    // With the entry in place, nothing is written.
    const HashEntry before = entry;
    KeepRootAnswer(state.hash, pos, r.best, r.score, 3);
    ASSERT_TRUE(ProbeHash(state.hash, pos, entry));
    EXPECT_EQ(std::memcmp(&before, &entry, sizeof entry), 0);
    // No completed iteration: nothing to keep.
    ResetSearchTables(state);
    KeepRootAnswer(state.hash, pos, r.best, r.score, 0);
    EXPECT_FALSE(ProbeHashMove(state.hash, pos, found));
}

// Under a clock the nodes that poll also look at the time: once the backstop
// is reached, the search ends as on "stop", and never in the first five
// iterations, which have no node that polls.
TEST(Search, TheBackstopInterruptsDeepIterationsOnly) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    state.clock.start = ClockMilliseconds() - 1000;
    state.clock.deadline = 10;
    ResetSearchTables(state);
    state.stopped = false;
    for (int d = 1; d <= 5; d++) {
        state.rootDepth = d;
        pos.Ply = 0;
        EXPECT_NE(SearchRoot(state, pos, int8_t(d)), InterruptedScore) << d;
        EXPECT_FALSE(state.stopped);
    }
    // The first node that polls ends the iteration it belongs to.
    int d = 6;
    for (; d <= 9; d++) {
        state.rootDepth = d;
        pos.Ply = 0;
        if (SearchRoot(state, pos, int8_t(d)) == InterruptedScore) break;
    }
    EXPECT_LE(d, 9);
    EXPECT_TRUE(state.stopped);
    HashEntry entry;
    ASSERT_TRUE(ProbeHash(state.hash, pos, entry));
    EXPECT_EQ(entry.depth, d - 1);  // the last completed iteration's answer
    EXPECT_EQ(CheckInvariants(pos), "");
}

}  // namespace

namespace {

// Every move's success ratio set to 4000 (below 4915, above 3276, below 9830).
void SetEveryRatio(SearchState& state) {
    ResetSearchTables(state);
    for (MoveStats& stats : state.ordering.stats) {
        stats.best = 1000;
        stats.tried = 4096;
    }
}

uint32_t NodesOfSearch(Position& pos, int depth, bool pruning, bool reduction) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    SetEveryRatio(state);
    state.options.historyPruning = pruning;
    state.options.historyReduction = reduction;
    state.stopped = false;
    state.nodes = 0;
    state.rootDepth = 2 * depth;
    pos.Ply = 1;
    SearchAlphaBeta(state, pos, int8_t(depth), -50, 50, 0);
    pos.Ply = 0;
    return state.nodes;
}

// Quiet moves with a success ratio of 4000 are pruned at depth 2, and at
// depth 3 searched one ply shallower.
TEST(Search, HistoryPruningAndReductionFollowTheSuccessRatio) {
    Position& pos = ScratchPosition();
    LoadFen("2bakab1r/5r3/1cn1c3n/pC2p3p/2p3p2/5NP1C/P1P1P3P/9/9/RNBAKABR1 w - - 0 1", pos);
    EXPECT_LT(NodesOfSearch(pos, 2, true, false), NodesOfSearch(pos, 2, false, false));
    EXPECT_NE(NodesOfSearch(pos, 3, false, true), NodesOfSearch(pos, 3, false, false));
}

}  // namespace

namespace {

// The root's moves as the reporter hears them, per iteration, and the lines.
struct RootLog {
    std::vector<std::vector<RefMove>> iterations;  // moves in the order announced
    std::vector<std::vector<int>> numbers;
    std::vector<IterationReport> reports;
};

void LogRootMove(void* context, Move move, int number) {
    RootLog& log = *static_cast<RootLog*>(context);
    if (number == 1) {
        log.iterations.emplace_back();
        log.numbers.emplace_back();
    }
    if (log.iterations.empty()) return;
    log.iterations.back().push_back(RefMove{MoveFrom(move), MoveTo(move)});
    log.numbers.back().push_back(number);
}

void LogReport(void* context, const IterationReport& report) {
    static_cast<RootLog*>(context)->reports.push_back(report);
}

// Each iteration announces every legal root move once, numbered from 1, and
// only those "searchmoves" allows; the moves come from an independent
// generator.
TEST(Search, TheRootAnnouncesEachAllowedMoveOnce) {
    Position& pos = ScratchPosition();
    const char* fens[] = {
        StartFen, "r1bakab1r/9/1cn4c1/p1p1n1p1p/4N4/2N6/P1P1P1P1P/1C5C1/9/R1BAKAB1R w - - 0 1"};
    for (const SearchProfile profile : {ProfileClassic, ProfileModern}) {
        for (const char* fen : fens) {
            for (const bool restricted : {false, true}) {
                const std::unique_ptr<SearchState> owned = NewSearchState();
                SearchState& state = *owned;
                state.profile = profile;
                LoadFen(fen, pos);
                std::vector<RefMove> legal = RefLegalMoves(pos);
                std::sort(legal.begin(), legal.end());
                SearchLimits limits;
                limits.maxDepth = 3;
                if (restricted) {
                    legal.resize(3);
                    for (const RefMove& m : legal)
                        limits.searchMoves[limits.searchMoveCount++] = MoveCode(m.from, m.to);
                }
                RootLog log;
                const SearchReporter reporter{&log, nullptr, LogReport, nullptr, LogRootMove};
                const SearchAnswer answer = RunSearch(state, pos, limits, reporter);
                // Every root search (the aspiration's re-searches too) announces all.
                ASSERT_GE(log.iterations.size(), 3u) << fen;
                for (size_t i = 0; i < log.iterations.size(); i++) {
                    std::vector<RefMove> announced = log.iterations[i];
                    std::sort(announced.begin(), announced.end());
                    EXPECT_EQ(announced, legal) << fen << " root search " << i;
                    for (size_t k = 0; k < log.numbers[i].size(); k++)
                        EXPECT_EQ(log.numbers[i][k], int(k + 1));
                }
                const RefMove best{MoveFrom(answer.best), MoveTo(answer.best)};
                EXPECT_NE(std::find(legal.begin(), legal.end(), best), legal.end()) << fen;
                EXPECT_EQ(state.root.allowedCount, 0) << "the filter is the search's only";
            }
        }
    }
}

// Several lines: at every depth, distinct legal first moves, best first,
// the best line the answer's; seldepth and the line numbers as reported.
TEST(Search, SeveralLinesAreDistinctAndInScoreOrder) {
    Position& pos = ScratchPosition();
    for (const SearchProfile profile : {ProfileClassic, ProfileModern}) {
        const std::unique_ptr<SearchState> owned = NewSearchState();
        SearchState& state = *owned;
        state.profile = profile;
        LoadFen("r1bakab1r/9/1cn4c1/p1p1n1p1p/4N4/2N6/P1P1P1P1P/1C5C1/9/R1BAKAB1R w - - 0 1", pos);
        const std::vector<RefMove> legal = RefLegalMoves(pos);
        SearchLimits limits;
        limits.maxDepth = 5;
        limits.lines = 4;
        RootLog log;
        const SearchReporter reporter{&log, nullptr, LogReport, nullptr, nullptr};
        const SearchAnswer answer = RunSearch(state, pos, limits, reporter);
        ASSERT_EQ(log.reports.size(), 5u * 4u);
        for (int depth = 1; depth <= 5; depth++) {
            std::vector<RefMove> firsts;
            for (int k = 0; k < 4; k++) {
                const IterationReport& r = log.reports[size_t((depth - 1) * 4 + k)];
                EXPECT_EQ(r.depth, depth);
                EXPECT_EQ(r.line, k + 1);
                EXPECT_GE(r.selDepth, 1);
                ASSERT_TRUE(r.pv.found && r.pv.legal >= 1) << depth << " " << k;
                const RefMove first{MoveFrom(r.pv.moves[0]), MoveTo(r.pv.moves[0])};
                EXPECT_NE(std::find(legal.begin(), legal.end(), first), legal.end());
                EXPECT_EQ(std::find(firsts.begin(), firsts.end(), first), firsts.end());
                firsts.push_back(first);
                if (k > 0) {
                    EXPECT_LE(r.score, log.reports[size_t((depth - 1) * 4 + k - 1)].score);
                }
            }
        }
        EXPECT_EQ(answer.best, log.reports[16].pv.moves[0]);
        EXPECT_EQ(answer.score, log.reports[16].score);
        EXPECT_EQ(state.root.excludedCount, 0);
    }
}

}  // namespace
