// Rulings on repeated positions: each cycle is played until its first
// position occurs a third time, and the game ends there with the ruling.

#include <gtest/gtest.h>

#include <string>

#include "rules/rules.h"
#include "rules_test_support.h"

namespace {

struct CycleCase {
    const char* fen;
    const char* cycle;  // four plies from the FEN back to it
    Ruling ruling;
    const char* why;
};

const CycleCase CycleCases[] = {
    {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "b0c2 b9c7 c2b0 c7b9",
     RulingDraw, "both sides shuffle their horses: nobody checks or chases"},
    {"3k5/9/9/2r6/1N7/9/9/9/9/4K4 w", "b5d4 c6c7 d4b5 c7c6", RulingRedLoses,
     "the horse attacks the fleeing rook anew in every move"},
    {"2rk5/9/9/2r6/1N7/9/9/9/9/4K4 w", "b5d4 c6c7 d4b5 c7c6", RulingRedLoses,
     "the rook is protected by the other rook, but a horse on a rook counts"},
    {"5k3/9/9/2n6/9/9/9/4R4/9/3K5 w", "e2c2 c6e7 c2e2 e7c6", RulingRedLoses,
     "the rook chases the unprotected horse"},
    {"5kb2/9/n8/2n6/9/9/9/4R4/9/3K5 w", "e2c2 c6e7 c2e2 e7c6", RulingDraw,
     "the same, but the other horse protects c6 and the elephant e7"},
    {"5k3/9/9/2n6/9/9/2P1P4/4C4/9/3K5 w", "e2c2 c6e7 c2e2 e7c6", RulingRedLoses,
     "the cannon chases the horse over the c- and e-pawns"},
    {"4k4/9/9/9/9/2p6/9/9/3R5/5K3 w", "d1c1 c4d4 c1d1 d4c4", RulingRedLoses,
     "a pawn across the river can be chased"},
    {"9/1C3k3/9/3r5/1R7/9/3N2n2/2c6/4K4/9 w", "d3f4 d6f6 f4d3 f6d6", RulingBlackLoses,
     "black's rook follows the unprotected horse"},
    // Red's rook steps to a1 and becomes the screen of the a0 cannon on the
    // a6 rook; next the black cannon on a3 is the screen, and the rook's
    // leaving a1 opens the line. Black's cannon attacks the a9 horse from a3,
    // and by leaving a3 takes the screen from red's cannon, which protected
    // a9, so that the a6 rook now attacks an unprotected horse.
    {"N8/3k5/5n3/r8/9/9/4c4/9/1R7/C3K4 w", "b1a1 e3a3 a1b1 a3e3", RulingDraw,
     "both sides chase throughout, red with discovered attacks"},
    {"1rn1k4/8R/2c6/4C4/5N3/9/9/9/4K4/9 w", "i8i9 e9e8 i9i8 e8e9", RulingRedLoses,
     "the rook checks in every move"},
    {"3r1k3/5cn2/9/9/9/5R3/6N2/3K5/5C3/9 w", "f4d4 f8d8 d4f4 d8f8", RulingDraw,
     "both sides check in every move, with discovered checks"},
    // Black, in check before each of its moves, attacks nothing then; after
    // its king moves its rook attacks the unprotected b3 horse.
    {"9/5k3/9/9/9/2c6/1Nr6/2n6/3KR4/6C2 w", "e1f1 f8e8 f1e1 e8f8", RulingRedLoses,
     "perpetual check loses before perpetual chase"},
    {"1rn1k4/8R/2c6/4C4/5N3/9/9/9/4K4/9 w", "i8i7 e9e8 i7i8 e8e9", RulingDraw,
     "one check and one chase (of the c7 cannon): neither rule holds throughout"},
};

TEST(Repetition, ThirdOccurrenceIsJudgedByTheCycle) {
    for (const CycleCase& c : CycleCases) {
        const std::string cycle = c.cycle;
        ASSERT_TRUE(PlayGame(c.fen, cycle + " " + cycle)) << c.fen;
        EXPECT_EQ(RepetitionStart(HistoryOf(Game()), 3), 0u) << c.fen;
        EXPECT_STREQ(RulingText(JudgeGameEnd(GameBoard(), HistoryOf(Game()), StandardRules)),
                     RulingText(c.ruling))
            << c.fen << " " << c.cycle << ": " << c.why;
        // The cycle alone gives the same ruling, and the board is left as it was.
        const uint64_t key = ComputeKey(GameBoard());
        EXPECT_EQ(JudgeCycle(GameBoard(), HistoryOf(Game()), 4, StandardRules), c.ruling) << c.fen;
        EXPECT_EQ(ComputeKey(GameBoard()), key) << c.fen;
        EXPECT_EQ(GameBoard().SideToMove, Red) << c.fen;
    }
}

TEST(Repetition, TheGameGoesOnBeforeTheThirdOccurrence) {
    for (const CycleCase& c : CycleCases) {
        const std::string cycle = c.cycle;
        ASSERT_TRUE(PlayGame(c.fen, cycle + " " + cycle.substr(0, 14))) << c.fen;
        EXPECT_EQ(JudgeGameEnd(GameBoard(), HistoryOf(Game()), StandardRules), RulingNone) << c.fen;
        ASSERT_TRUE(PlayGame(c.fen, cycle)) << c.fen;
        EXPECT_EQ(RepetitionStart(HistoryOf(Game()), 2), 0u) << c.fen;
        EXPECT_EQ(JudgeGameEnd(GameBoard(), HistoryOf(Game()), StandardRules), RulingNone) << c.fen;
    }
}

// Occurrences are counted back to the last capture or null move only, even
// where keys before it match (keys written by hand: 7 is the position
// looked for).
TEST(Repetition, CountsBackToTheLastCaptureOrNullMove) {
    struct Case {
        uint64_t keys[7];
        const char* kinds;  // per move 1..6: '.' quiet, 'x' capture, '0' null move
        uint32_t threeFrom, twoFrom;
    } cases[] = {
        {{7, 1, 2, 7, 3, 4, 7}, "......", 0, 3},
        {{7, 1, 2, 7, 3, 4, 7}, "..x...", NoRepetition, 3},
        {{7, 1, 2, 7, 3, 4, 7}, "....0.", NoRepetition, NoRepetition},
        {{7, 1, 2, 7, 3, 4, 7}, "...x..", NoRepetition, NoRepetition},
        {{7, 7, 7, 7, 3, 4, 5}, "......", NoRepetition, NoRepetition},
    };
    for (const Case& c : cases) {
        MoveRecord moves[7] = {};
        for (int i = 1; i <= 6; i++) {
            moves[i] = RecordOf(SquareNamed("a0"), SquareNamed("a1"));
            if (c.kinds[i - 1] == 'x') moves[i].captured = 43;
            if (c.kinds[i - 1] == '0') moves[i].from = moves[i].to = 0;
        }
        const GameHistory history{moves, c.keys, 6};
        EXPECT_EQ(RepetitionStart(history, 3), c.threeFrom) << c.kinds;
        EXPECT_EQ(RepetitionStart(history, 2), c.twoFrom) << c.kinds;
    }
}

}  // namespace
