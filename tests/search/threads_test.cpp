// Searches with helper threads: the answer is a legal, unbanned move, every
// thread's nodes are counted, the helpers stop with the main thread and
// survive a resized table, and a slot torn by two writers is never read as
// an entry.

#include "search/threads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "search/search.h"
#include "search/search_test_support.h"
#include "search/transposition.h"
#include "support/reference_rules.h"

namespace {

// ThreadSanitizer slows the search twentyfold: its run searches less deep.
#if defined(__SANITIZE_THREAD__)
constexpr int ResizeDepth = 3;
#else
constexpr int ResizeDepth = 5;
#endif

const char* const Positions[] = {
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1",
    "2bakab1r/5r3/1cn1c3n/pC2p3p/2p3p2/5NP1C/P1P1P3P/9/9/RNBAKABR1 w - - 0 1",
    "2b1ka1n1/2C1a4/2n1bc1r1/p1p1p1p1p/4cR3/2P3B2/2r3P1P/4C1N2/N3A4/2BAK3R w - - 0 1",
    "4ka3/4a4/3cb4/p3p1N1p/2p3b2/5n3/5r2P/4B4/2R1A4/4KAB2 w - - 0 1",
};

std::vector<Move> LegalMoves(const Position& pos) {
    std::vector<Move> moves;
    for (const RefMove& m : RefLegalMoves(pos)) moves.push_back(RefMoveCode(m));
    return moves;
}

bool Contains(const std::vector<Move>& moves, Move m) {
    return std::find(moves.begin(), moves.end(), m) != moves.end();
}

// Each thread's own count, added up apart from the counter's own reading.
uint32_t SumOverThreads(const SearchState& state) {
    if (!state.nodes.group) return state.nodes.Own();
    uint32_t total = 0;
    for (int32_t i = 0; i < state.nodes.groupSize; i++) total += state.nodes.group[i]->Own();
    return total;
}

// What the reporter saw, and the stop hook's script: "ponderhit" at poll
// `hitAt`, "stop" at poll `stopAt` (0: never).
struct Recorder {
    IterationReport last{};
    int completed = 0;
    int polls = 0;
    int hitAt = 0, stopAt = 0;
};
void Record(void* context, const IterationReport& report) {
    Recorder& r = *static_cast<Recorder*>(context);
    if (!report.completed) return;
    r.last = report;
    r.completed++;
}
PollAnswer Poll(void* context) {
    Recorder& r = *static_cast<Recorder*>(context);
    r.polls++;
    if (r.stopAt && r.polls >= r.stopAt) return PollStop;
    if (r.polls == r.hitAt) return PollPonderHit;
    return PollContinue;
}
void Idle(void*) {}

TEST(Threads, FixedDepthAnswersALegalMoveAndCountsEveryThread) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    for (const SearchProfile profile : {ProfileClassic, ProfileModern})
        for (int threads : {2, 4}) {
            state.profile = profile;
            ResetForNewGame(state);
            ASSERT_TRUE(SetSearchThreads(state, threads));
            ASSERT_EQ(SearchThreadCount(state), threads);
            for (const char* fen : Positions) {
                LoadFen(fen, pos);
                const std::vector<Move> legal = LegalMoves(pos);
                Recorder recorder;
                const SearchReporter reporter{&recorder, nullptr, Record, nullptr, nullptr};
                SearchLimits limits;
                limits.maxDepth = 6;
                const SearchAnswer answer = RunSearch(state, pos, limits, reporter);
                EXPECT_TRUE(Contains(legal, answer.best))
                    << threads << " threads, profile " << int(profile) << ", " << fen;
                EXPECT_GE(answer.depth, 6);
                // The reports, the state and the threads' own counts agree.
                EXPECT_EQ(uint32_t(state.nodes), SumOverThreads(state));
                // The helpers count on until the main thread's last iteration ends them.
                EXPECT_LE(recorder.last.nodes, uint32_t(state.nodes));
                EXPECT_GT(recorder.last.nodes, 0u);
                EXPECT_GE(uint32_t(state.nodes), state.nodes.Own());
                EXPECT_EQ(state.nodes.groupSize, threads);
                // The answer is the root's entry, where "probe" reads it.
                HashEntry entry;
                ASSERT_TRUE(ProbeHash(state.hash, pos, entry));
                EXPECT_EQ(entry.move, answer.best);
                EXPECT_EQ(entry.bound, BoundExact);
                EXPECT_EQ(entry.depth, answer.depth);
            }
        }
}

// Back to one thread, the search is the one a fresh state runs, node for node.
TEST(Threads, OneThreadAgainSearchesAsBefore) {
    const std::unique_ptr<SearchState> fresh = NewSearchState();
    const std::unique_ptr<SearchState> used = NewSearchState();
    Position& pos = ScratchPosition();
    LoadFen(Positions[1], pos);
    ASSERT_TRUE(SetSearchThreads(*used, 4));
    SearchTo(*used, pos, 5);
    ASSERT_TRUE(SetSearchThreads(*used, 1));
    EXPECT_EQ(SearchThreadCount(*used), 1);
    for (int depth : {4, 6}) {
        const SearchOutcome a = SearchTo(*fresh, pos, depth);
        const SearchOutcome b = SearchTo(*used, pos, depth);
        EXPECT_EQ(uint32_t(fresh->nodes), uint32_t(used->nodes)) << depth;
        EXPECT_EQ(a.best, b.best);
        EXPECT_EQ(a.score, b.score);
    }
}

TEST(Threads, CountsOutsideTheRangeAreHeldWithin) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    struct Case {
        int32_t asked, got;
    };
    for (const Case& c :
         {Case{0, 1}, Case{-5, 1}, Case{3, 3}, Case{300, MaxSearchThreads}, Case{1, 1}}) {
        ASSERT_TRUE(SetSearchThreads(*owned, c.asked));
        EXPECT_EQ(SearchThreadCount(*owned), c.got) << c.asked;
    }
}

// "go nodes N" stops every thread once all of them together have counted N.
TEST(Threads, TheNodeLimitCountsEveryThread) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(Positions[2], pos);
    ASSERT_TRUE(SetSearchThreads(state, 4));
    const SearchReporter silent{nullptr, nullptr, nullptr, nullptr, nullptr};
    for (uint32_t limit : {50000u, 300000u}) {
        SearchLimits limits;
        limits.nodes = limit;
        const SearchAnswer answer = RunSearch(state, pos, limits, silent);
        EXPECT_TRUE(Contains(LegalMoves(pos), answer.best));
        EXPECT_GE(uint32_t(state.nodes), limit);
        // Past the limit only by what each thread counts before it looks again.
        EXPECT_LT(uint32_t(state.nodes), limit + limit / 10);
        EXPECT_GT(uint32_t(state.nodes), state.nodes.Own());
    }
}

const char FewPieces[] = "3ak4/4a4/4b4/p7p/9/9/P7P/4B4/4A4/3AK4 w - - 0 1";

// "stop" and "ponderhit" reach the main thread only; the helpers stop with
// it, and the pool serves the next search.
TEST(Threads, StopAndPonderhitEndEveryThread) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    struct Case {
        bool ponder;
        int hitAt, stopAt;
    };
    const Case cases[] = {{false, 0, 1}, {false, 0, 3}, {true, 2, 4}, {true, 0, 3}, {true, 1, 2}};
    ASSERT_TRUE(SetSearchThreads(state, 4));
    for (const Case& c : cases) {
        // Polls begin at the seventh iteration, which few pieces reach soon.
        for (const char* fen : {Positions[3], FewPieces}) {
            LoadFen(fen, pos);
            Recorder recorder;
            recorder.hitAt = c.hitAt;
            recorder.stopAt = c.stopAt;
            const SearchReporter reporter{&recorder, Poll, Record, Idle, nullptr};
            SearchLimits limits;
            limits.ponder = c.ponder;
            const SearchAnswer answer = RunSearch(state, pos, limits, reporter);
            EXPECT_GE(recorder.polls, c.stopAt);
            if (answer.depth > 0) {
                EXPECT_TRUE(Contains(LegalMoves(pos), answer.best)) << fen;
            }
        }
    }
    LoadFen(Positions[0], pos);
    EXPECT_TRUE(Contains(LegalMoves(pos), SearchTo(state, pos, 5).best));
}

// A resize between searches moves the table the helpers' views point into.
TEST(Threads, TheHelpersFollowAResizedTable) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    ASSERT_TRUE(SetSearchThreads(state, 4));
    for (uint32_t buckets : {1u << 10, 1u << 16, 1u << 4, DefaultHashBuckets}) {
        ASSERT_TRUE(ResizeHash(state.hash, buckets));
        for (const char* fen : Positions) {
            LoadFen(fen, pos);
            EXPECT_TRUE(Contains(LegalMoves(pos), SearchTo(state, pos, ResizeDepth).best))
                << buckets;
        }
    }
}

// Every thread skips the banned moves: only the allowed ones are answered.
TEST(Threads, BansHoldForEveryThread) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    ASSERT_TRUE(SetSearchThreads(state, 4));
    for (const char* fen : Positions) {
        LoadFen(fen, pos);
        const std::vector<Move> legal = LegalMoves(pos);
        ASSERT_GE(legal.size(), 3u);
        // All but the last two legal moves are banned.
        state.bans.count = int32_t(std::min<size_t>(legal.size() - 2, BanListCapacity));
        for (int32_t i = 0; i < state.bans.count; i++) state.bans.moves[i] = legal[size_t(i)];
        const std::vector<Move> allowed(legal.begin() + state.bans.count, legal.end());
        const SearchReporter silent{nullptr, nullptr, nullptr, nullptr, nullptr};
        SearchLimits limits;
        limits.maxDepth = 6;
        const SearchAnswer answer = RunSearch(state, pos, limits, silent);
        EXPECT_TRUE(Contains(allowed, answer.best)) << fen;
        ASSERT_TRUE(answer.pv.found);
        EXPECT_EQ(answer.pv.moves[0], answer.best);
        state.bans.count = 0;
    }
}

TEST(Threads, MatesAreFoundAndPlayed) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    ASSERT_TRUE(SetSearchThreads(state, 4));
    struct Case {
        const char* fen;
        int16_t score, orScore;
    };
    // The main thread stops at the first mate, which the checks find as a
    // mate in three at depth 1; a helper that finished depth 2 first offers
    // the shorter one, which is preferred. Either may come first.
    const Case cases[] = {
        {"4k4/8R/9/9/9/9/9/9/9/R2K5 w - - 0 1", 9999, 9999},
        {"4k4/9/9/9/9/9/9/9/9/R2K4R w - - 0 1", 9997, 9995},
        {"R3k4/8R/9/9/9/9/9/9/9/3K5 b - - 0 1", -MateScore, -MateScore},
    };
    for (const Case& c : cases) {
        LoadFen(c.fen, pos);
        const SearchOutcome r = SearchTo(state, pos, 10);
        EXPECT_TRUE(r.score == c.score || r.score == c.orScore) << c.fen << ": " << r.score;
        if (c.score != 9999) continue;
        // A mate in one is played: the reply has no legal move.
        ASSERT_TRUE(Contains(LegalMoves(pos), r.best)) << c.fen;
        Position& after = ScratchPosition(2);
        RefPlay(pos, MoveFrom(r.best), MoveTo(r.best), after);
        EXPECT_TRUE(RefLegalMoves(after).empty()) << c.fen;
    }
}

// The main thread's answer stays unless a helper proves a shorter win, or
// went deeper with a score at least as good while no win is held.
TEST(Threads, WhichAnswerIsPlayed) {
    struct Case {
        ThreadAnswer candidate, held;
        bool replaces;
    };
    const Case cases[] = {
        {{1, 30, 9}, {2, 30, 8}, true},        // deeper, as good
        {{1, 31, 9}, {2, 30, 8}, true},        // deeper, better
        {{1, 29, 9}, {2, 30, 8}, false},       // deeper, worse
        {{1, 90, 8}, {2, 30, 8}, false},       // as deep, better
        {{1, 90, 7}, {2, 30, 8}, false},       // shallower
        {{1, 9995, 3}, {2, 30, 8}, true},      // a win proven, however shallow
        {{1, 9997, 3}, {2, 9995, 9}, true},    // a shorter win
        {{1, 9995, 12}, {2, 9997, 9}, false},  // a longer win
        {{1, 500, 20}, {2, 9997, 9}, false},   // a held win stays
        {{1, -20, 4}, {2, 0, 0}, true},        // the main thread completed nothing
        {{0, 30, 9}, {2, 30, 8}, false},       // no move
        {{1, 30, 0}, {2, 30, 8}, false},       // no completed iteration
        {{1, -9990, 9}, {2, -9996, 8}, true},  // mated later
        {{1, -9996, 9}, {2, -9990, 8}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreferredAnswer(c.candidate, c.held), c.replaces)
            << c.candidate.score << "@" << c.candidate.depth << " vs " << c.held.score << "@"
            << c.held.depth;
}

// ---------------------------------------------------------------------------
// The shared table: a slot whose two words come from different writes.

constexpr uint64_t KeyA = 0x0123456700012345ull;
constexpr uint64_t KeyB = 0x89ABCDEF00012345ull;  // same bucket
constexpr uint32_t Bucket = 0x12345;

Position& At(uint64_t key) {
    Position& pos = ScratchPosition(1);
    pos.MoveCount = 0;
    pos.KeyStack[0] = key;
    pos.Ply = 0;
    return pos;
}

HashEntry EntryOf(uint64_t key, Move move, int16_t value, int8_t depth, uint8_t bound) {
    return HashEntry{uint32_t(key), uint32_t(key >> 32), move, value, depth, bound, 0, 0};
}

TEST(SharedHash, SlotWordsKeepEveryField) {
    const HashEntry cases[] = {
        EntryOf(KeyA, 65535, -10000, -128, BoundUpper),
        EntryOf(KeyB, 1, 10000, 127, BoundLower),
        EntryOf(~0ull, 0, -1, -1, BoundExact),
        EntryOf(0, 31614, 0, 0, BoundNone),
    };
    for (const HashEntry& e : cases) {
        HashSlot slot;
        WriteHashSlot(slot, e);
        const HashEntry read = ReadHashSlot(slot);
        EXPECT_EQ(read.keyLow, e.keyLow);
        EXPECT_EQ(read.keyHigh, e.keyHigh);
        EXPECT_EQ(read.move, e.move);
        EXPECT_EQ(read.value, e.value);
        EXPECT_EQ(read.depth, e.depth);
        EXPECT_EQ(read.bound, e.bound);
    }
}

TEST(SharedHash, ATornSlotIsPassedOver) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    const HashEntry first = EntryOf(KeyA, 300, 50, 6, BoundExact);
    // The second writer's entry: another position, or the same one again.
    const HashEntry seconds[] = {
        EntryOf(KeyB, 400, -70, 9, BoundLower), EntryOf(KeyB, 300, 50, 6, BoundUpper),
        EntryOf(KeyA, 301, 50, 6, BoundExact),  EntryOf(KeyA, 300, 51, 6, BoundExact),
        EntryOf(KeyA, 300, 50, 7, BoundExact),  EntryOf(KeyA, 300, 50, 6, BoundLower),
    };
    for (const HashEntry& second : seconds) {
        for (bool checkFromFirst : {true, false}) {
            ResetSearchTables(state);
            HashSlot a, b;
            WriteHashSlot(a, first);
            WriteHashSlot(b, second);
            HashSlot& slot = state.hash.buckets[Bucket].slot[0];
            // One word of each write.
            slot.check.store((checkFromFirst ? a : b).check.load());
            slot.data.store((checkFromFirst ? b : a).data.load());
            HashEntry e;
            Move m;
            EXPECT_FALSE(ProbeHash(state.hash, At(KeyA), e)) << second.move << checkFromFirst;
            EXPECT_FALSE(ProbeHash(state.hash, At(KeyB), e)) << second.move << checkFromFirst;
            EXPECT_FALSE(ProbeHashMove(state.hash, At(KeyA), m));
            const HashCutoff h = HashCutoffTest(state.hash, At(KeyA), 1, -100, 100);
            EXPECT_FALSE(h.cutoff);
            EXPECT_FALSE(h.hasMove);
            // Whole again, the slot answers.
            slot.data.store((checkFromFirst ? a : b).data.load());
            const HashEntry& whole = checkFromFirst ? first : second;
            ASSERT_TRUE(ProbeHash(state.hash, At(uint64_t(whole.keyHigh) << 32 | whole.keyLow), e));
            EXPECT_EQ(e.move, whole.move);
        }
    }
}

}  // namespace
