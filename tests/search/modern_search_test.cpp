// The modern profile: its signature, the mates and tactics it must find, the
// rules of repetition it scores by, its time plan and its history tables.

#include <gtest/gtest.h>

#include <string>

#include "rules/rules.h"
#include "search/ordering.h"
#include "search/search.h"
#include "search/search_test_support.h"
#include "search/time_manager.h"
#include "search/tree.h"
#include "support/reference_rules.h"

namespace {

Move Code(const char* text) {
    return MoveOf(ParseMoveString(text));
}

std::unique_ptr<SearchState> NewModernState() {
    std::unique_ptr<SearchState> state = NewSearchState();
    state->profile = ProfileModern;
    ResetForNewGame(*state);
    return state;
}

SearchAnswer SearchWithin(SearchState& state, Position& pos, int depth, uint32_t nodes) {
    const SearchReporter silent{nullptr, nullptr, nullptr, nullptr, nullptr};
    SearchLimits limits;
    limits.maxDepth = depth;
    limits.nodes = nodes;
    return RunSearch(state, pos, limits, silent);
}

// Node counts of fixed positions at a fixed depth, each searched as a new
// game: any change of a rule or a parameter of the modern search changes
// them (the classic profile's are pinned beside the options' test).
TEST(ModernSearch, Signature) {
    struct Case {
        const char* fen;
        uint32_t nodes;
    };
    const Case cases[] = {
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", 86378},
        {"2bakab1r/5r3/1cn1c3n/pC2p3p/2p3p2/5NP1C/P1P1P3P/9/9/RNBAKABR1 w", 108193},
        {"2b1ka1n1/2C1a4/2n1bc1r1/p1p1p1p1p/4cR3/2P3B2/2r3P1P/4C1N2/N3A4/2BAK3R w", 89047},
        {"4ka3/4a4/3cb4/p3p1N1p/2p3b2/5n3/5r2P/4B4/2R1A4/4KAB2 w", 31603},
        {"2bak4/4a4/4b4/9/9/9/9/5n3/9/3AK4 w", 3589},
    };
    const std::unique_ptr<SearchState> state = NewModernState();
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        ASSERT_TRUE(LoadFen(c.fen, pos)) << c.fen;
        ResetForNewGame(*state);
        SearchTo(*state, pos, 10);
        EXPECT_EQ(state->nodes, c.nodes) << c.fen;
    }
}

// Mates, about as short as the classic search finds them (the shortest for
// each is the mate count below), and a won piece, each within a node budget.
TEST(ModernSearch, FindsMatesAndTacticsWithinABudget) {
    struct Case {
        const char* fen;
        int32_t mateIn;    // moves; 0: no mate, a material gain instead
        const char* best;  // nullptr: any move that keeps the result
        int32_t minimumScore;
    };
    const Case cases[] = {
        {"4k4/8R/9/9/9/9/9/9/9/R2K5 w", 1, "a0a9", 0},
        {"3k5/9/9/9/9/9/9/9/4C4/3RK4 w", 1, "e1e9", 0},
        // The shortest ends with a quiet king move that leaves black no move.
        {"3k1a3/4a4/9/9/9/9/9/9/4R4/3CK4 w", 2, nullptr, 0},
        // The checks alone find a mate in three at depth 1, where the
        // search stops, as the classic one does.
        {"4k4/9/9/9/9/9/9/9/9/R2K4R w", 3, nullptr, 0},
        {"2bak4/4a4/4b4/9/9/6N2/9/9/4C4/4K4 w", 3, nullptr, 0},
        // The rook takes the rook that attacks it; anything else loses one.
        {"3aka3/9/9/9/9/2r6/9/9/2R6/3K5 w", 0, "c1c4", 150},
    };
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        const std::unique_ptr<SearchState> state = NewModernState();
        ASSERT_TRUE(LoadFen((std::string(c.fen) + " - - 0 1").c_str(), pos)) << c.fen;
        const SearchAnswer answer = SearchWithin(*state, pos, 30, 300000);
        if (c.mateIn) {
            // Never shorter than the shortest; the pruning may first find
            // a slightly longer one (a quiet move that stalemates is pruned
            // near the leaves like any quiet move).
            EXPECT_GE(MateInMoves(answer.score), c.mateIn) << c.fen;
            EXPECT_LE(MateInMoves(answer.score), c.mateIn + 2) << c.fen;
        } else {
            EXPECT_GE(answer.score, c.minimumScore) << c.fen;
        }
        if (c.best) {
            EXPECT_EQ(answer.best, Code(c.best)) << c.fen;
        }
        EXPECT_LE(state->nodes, 310000u) << c.fen;
    }
}

// The cycles of the rules' own tests, played once: the position after the
// four plies is the first one's second occurrence. Searched as if the whole
// cycle lay in the tree, the side that checks or chases throughout loses;
// with the cycle before the root, only a draw is.
TEST(ModernSearch, ScoresRepetitionsByTheRules) {
    struct Case {
        const char* fen;
        const char* cycle;
        Ruling ruling;
    };
    const Case cases[] = {
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "b0c2 b9c7 c2b0 c7b9",
         RulingDraw},
        {"3k5/9/9/2r6/1N7/9/9/9/9/4K4 w", "b5d4 c6c7 d4b5 c7c6", RulingRedLoses},
        {"5k3/9/9/2n6/9/9/9/4R4/9/3K5 w", "e2c2 c6e7 c2e2 e7c6", RulingRedLoses},
        {"5kb2/9/n8/2n6/9/9/9/4R4/9/3K5 w", "e2c2 c6e7 c2e2 e7c6", RulingDraw},
        {"9/1C3k3/9/3r5/1R7/9/3N2n2/2c6/4K4/9 w", "d3f4 d6f6 f4d3 f6d6", RulingBlackLoses},
        {"1rn1k4/8R/2c6/4C4/5N3/9/9/9/4K4/9 w", "i8i9 e9e8 i9i8 e8e9", RulingRedLoses},
        {"3r1k3/5cn2/9/9/9/5R3/6N2/3K5/5C3/9 w", "f4d4 f8d8 d4f4 d8f8", RulingDraw},
    };
    const std::unique_ptr<SearchState> state = NewModernState();
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        ASSERT_TRUE(LoadFen((std::string(c.fen) + " - - 0 1").c_str(), pos)) << c.fen;
        const std::string cycle = c.cycle;
        for (size_t at = 0; at < cycle.size(); at += 5) {
            MoveRecord record = RecordOfMove(pos, Code(cycle.substr(at, 4).c_str()));
            ASSERT_TRUE(MakeMove(record, pos)) << c.fen << " " << cycle.substr(at, 4);
        }
        // Red is to move again; a red loss is a loss for the side to move.
        const int16_t loss = int16_t(-(MateScore - 4));
        const int16_t expected = c.ruling == RulingRedLoses     ? loss
                                 : c.ruling == RulingBlackLoses ? int16_t(-loss)
                                                                : 0;
        bool repeated = false;
        EXPECT_EQ(RuledRepetitionScore(*state, pos, repeated), expected) << c.fen;
        EXPECT_TRUE(repeated) << c.fen;
        // The same cycle played before the root: a draw stands, a decisive
        // ruling is left to the search below.
        pos.Ply = 1;
        const int16_t before = RuledRepetitionScore(*state, pos, repeated);
        EXPECT_EQ(repeated, c.ruling == RulingDraw) << c.fen;
        EXPECT_EQ(before, 0) << c.fen;
        // Played once more, with the root after the second occurrence: the
        // third ends the game, and its ruling stands wherever the cycle began.
        for (size_t at = 0; at < cycle.size(); at += 5) {
            MoveRecord record = RecordOfMove(pos, Code(cycle.substr(at, 4).c_str()));
            ASSERT_TRUE(MakeMove(record, pos)) << c.fen << " " << cycle.substr(at, 4);
        }
        pos.Ply = 2;
        const int16_t third = RuledRepetitionScore(*state, pos, repeated);
        EXPECT_TRUE(repeated) << c.fen;
        EXPECT_EQ(third, c.ruling == RulingRedLoses     ? int16_t(-(MateScore - 2))
                         : c.ruling == RulingBlackLoses ? int16_t(MateScore - 2)
                                                        : 0)
            << c.fen;
    }
}

// Black is a rook up; red's rook can chase the horse around the cycle for
// ever, which the classic search takes for a draw by repetition and plays.
// The modern search knows the chase loses and plays a lawful move instead
// (checks mixed into the cycle make its third occurrence a draw by the
// rules, which it may find).
TEST(ModernSearch, NeverPlaysIntoAForbiddenChase) {
    const std::unique_ptr<SearchState> state = NewSearchState();
    for (const SearchProfile profile : {ProfileClassic, ProfileModern}) {
        Position& pos = ScratchPosition();
        ASSERT_TRUE(LoadFen("r4k3/9/9/2n6/9/9/9/4R4/9/3K5 w - - 0 1", pos));
        for (const char* move : {"e2c2", "c6e7", "c2e2", "e7c6"}) {
            MoveRecord record = RecordOfMove(pos, Code(move));
            ASSERT_TRUE(MakeMove(record, pos));
        }
        state->profile = profile;
        ResetForNewGame(*state);
        const SearchAnswer answer = SearchWithin(*state, pos, 9, 0);
        if (profile == ProfileClassic) {
            EXPECT_EQ(answer.best, Code("e2c2"));
            EXPECT_EQ(answer.score, 0);
        } else {
            EXPECT_NE(answer.best, Code("e2c2"));
            EXPECT_LE(answer.score, 0);
            EXPECT_GT(answer.score, -MateThreshold);
        }
    }
}

// A null-move verification bars null moves above some ply for its own
// subtree; one nested in another must leave the outer bar as it found it.
// With verification at every depth, a search started under a bar ends with
// that bar in place.
TEST(ModernSearch, NestedNullMoveVerificationsRestoreTheOuterBar) {
    const std::unique_ptr<SearchState> state = NewModernState();
    state->parameters.nullVerifyDepth = 2;
    state->parameters.reverseFutilityDepth = 0;  // so that the null moves are tried
    Position& pos = ScratchPosition();
    ASSERT_TRUE(
        LoadFen("2bakab1r/5r3/1cn1c3n/pC2p3p/2p3p2/5NP1C/P1P1P3P/9/9/RNBAKABR1 w - - 0 1", pos));
    state->modern.nullMovesFromPly = 1;
    state->rootDepth = 8;
    pos.Ply = 0;
    // A window far below the score: null moves cut off, and are verified.
    SearchAlphaBeta<ProfileModern>(*state, pos, 8, -201, -200, 0);
    EXPECT_EQ(state->modern.nullMovesFromPly, 1u);
    EXPECT_GT(state->nodes, 20u);
}

// The modern plan under every kind of clock: the soft limit within the
// deadline, the deadline within the time left less the margin, so that no
// clock, even one whose increment passes the time left, is ever overstepped.
TEST(ModernSearch, TimePlanStaysWithinTheClock) {
    struct Case {
        int32_t timeLeft, increment, movesToGo;
    };
    const Case cases[] = {
        {60000, 0, 0},
        {60000, 1000, 0},
        {10000, 100, 0},
        {300, 3000, 0},
        {40, 1000, 0},
        {0, 0, 0},
        {-5, 100, 0},
        {5000, 0, 1},
        {5000, 0, 2},
        {100, 100, 1},
        {2147483647, 2147483647, 0},
    };
    for (const Case& c : cases) {
        SearchLimits limits;
        limits.timed = true;
        limits.timeLeft = c.timeLeft;
        limits.increment = c.increment;
        limits.movesToGo = c.movesToGo;
        SearchClock clock;
        StartSearchClock(clock, limits, 1000, ProfileModern);
        const std::string name = std::to_string(c.timeLeft) + "+" + std::to_string(c.increment) +
                                 " moves " + std::to_string(c.movesToGo);
        EXPECT_GE(clock.softLimit, 0) << name;
        EXPECT_LE(clock.softLimit, clock.deadline) << name;
        EXPECT_LE(clock.deadline, HardTimeLimit(c.timeLeft)) << name;
        EXPECT_GE(clock.deadline, 0) << name;
    }
}

// The gravity update keeps every entry within the history's bounds however
// many bonuses and maluses arrive, and a bonus always moves the entry up.
TEST(ModernSearch, GravityKeepsHistoryBounded) {
    int16_t entry = 0;
    uint32_t seed = 12345;
    for (int i = 0; i < 100000; i++) {
        seed = seed * 1103515245u + 12345u;
        const int32_t bonus = int32_t((seed >> 8) % 3201) - 1600;
        const int16_t before = entry;
        UpdateGravity(entry, bonus);
        ASSERT_LE(entry, HistoryMax);
        ASSERT_GE(entry, -HistoryMax);
        if (bonus > 0) {
            ASSERT_GE(entry, before);
        } else {
            ASSERT_LE(entry, before);
        }
    }
}

}  // namespace
