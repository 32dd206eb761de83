#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "position/position.h"
#include "support/reference_rules.h"

namespace {

MoveRecord Parse(const char* text) {
    return ParseMoveString(text);
}

bool SameLivePosition(const Position& a, const Position& b) {
    return std::memcmp(a.Board, b.Board, sizeof a.Board) == 0 &&
           std::memcmp(a.PieceSquare, b.PieceSquare, sizeof a.PieceSquare) == 0 &&
           a.SideToMove == b.SideToMove &&
           std::memcmp(a.FileBits, b.FileBits, sizeof a.FileBits) == 0 &&
           std::memcmp(a.RowBits, b.RowBits, sizeof a.RowBits) == 0 && a.RedValue == b.RedValue &&
           a.BlackValue == b.BlackValue && a.MoveCount == b.MoveCount && a.Ply == b.Ply &&
           a.KeyStack[a.MoveCount] == b.KeyStack[b.MoveCount] &&
           std::memcmp(&a.MoveStack[a.MoveCount], &b.MoveStack[b.MoveCount], sizeof(MoveRecord)) ==
               0;
}

TEST(MakeMove, CannonToCentre) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    const uint64_t before = pos.KeyStack[0];
    MoveRecord r = Parse("h2e2");
    ASSERT_TRUE(MakeMove(r, pos));
    EXPECT_EQ(pos.MoveCount, 1u);
    EXPECT_EQ(pos.MoveStack[1].from, 126u);
    EXPECT_EQ(pos.MoveStack[1].to, 123u);
    EXPECT_EQ(pos.MoveStack[1].captured, 0u);
    EXPECT_EQ(pos.MoveStack[1].givesCheck, 0);
    EXPECT_EQ(pos.KeyStack[1], before ^ ZobristPiece[5][126] ^ ZobristPiece[5][123] ^ ZobristSide);
    EXPECT_EQ(MoveOf(r), 31614);
}

TEST(MakeMove, CaptureFillsBothRecords) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    MoveRecord r = Parse("b2b9");
    ASSERT_TRUE(MakeMove(r, pos));
    EXPECT_EQ(r.captured, 37u);
    EXPECT_EQ(pos.MoveStack[1].captured, 37u);
    EXPECT_EQ(CheckInvariants(pos), "");
}

TEST(MakeMove, RefusesSelfCheckAndFacingKings) {
    Position& pos = ScratchPosition(0);
    Position& copy = ScratchPosition(1);
    // The red rook on e4 is the only piece between the kings.
    LoadFen("4k4/9/9/9/9/4R4/9/9/9/4K4 w - - 0 1", pos);
    std::memcpy(&copy, &pos, sizeof pos);
    MoveRecord r = Parse("e4d4");
    EXPECT_FALSE(MakeMove(r, pos));
    EXPECT_TRUE(SameLivePosition(pos, copy));
    r = Parse("e4e8");
    EXPECT_TRUE(MakeMove(r, pos));
}

TEST(MakeMove, UnmakeRestoresEveryFieldAlongRandomGames) {
    std::mt19937 rng(7);
    Position& pos = ScratchPosition(0);
    Position& copy = ScratchPosition(1);
    for (int game = 0; game < 40; game++) {
        LoadFen(StartFen, pos);
        for (int ply = 0; ply < 120; ply++) {
            MoveRecord list[MaxGeneratedMoves + 1];
            const int n = GenerateAll(pos, list);
            std::memcpy(&copy, &pos, sizeof pos);
            for (int i = 0; i < n; i++) {
                MoveRecord r = list[i];
                const uint64_t foreseen = KeyAfterMove(pos, MoveOf(r));
                if (!MakeMove(r, pos)) {
                    ASSERT_TRUE(SameLivePosition(pos, copy));
                    continue;
                }
                ASSERT_EQ(CheckInvariants(pos), "");
                // The key foreseen before the move is the one it produced.
                ASSERT_EQ(CurrentKey(pos), foreseen);
                // The check flag and mask agree with an independent attack test.
                ASSERT_EQ(pos.MoveStack[pos.MoveCount].givesCheck != 0,
                          RefKingAttacked(pos, pos.SideToMove));
                UnmakeMove(pos);
                ASSERT_TRUE(SameLivePosition(pos, copy));
            }
            MakeNullMove(pos);
            ASSERT_EQ(CheckInvariants(pos), "");
            UnmakeNullMove(pos);
            ASSERT_TRUE(SameLivePosition(pos, copy));
            const uint32_t side = pos.SideToMove;
            PlayRandomGame(pos, 1, rng);
            if (pos.SideToMove == side) break;  // no legal move left
        }
    }
}

// MakeMove skips the attack tests for moves far from a king once the
// previous move has settled both kings' state; its verdicts and masks must be
// those of the full test, on the board played from scratch.
void ExpectMovesJudgedAsByFullTest(Position& pos, std::mt19937& rng) {
    Position& after = ScratchPosition(2);
    MoveRecord list[MaxGeneratedMoves + 1];
    int n = GenerateAll(pos, list);
    // A few moves no generator makes, as a corrupt hash move could name: any
    // piece but a king (which the full test expects in its palace), the
    // opponent's included, to any square but a king's.
    for (int k = 0; k < 6; k++) {
        const uint32_t from = 28 + rng() % 126, to = 28 + rng() % 126;
        const uint32_t victim = pos.Board[to];
        if (!SquareOnBoard[from] || !SquareOnBoard[to] || from == to || !pos.Board[from]) continue;
        const uint32_t mover = pos.Board[from];
        if (mover == RedKing || mover == BlackKing || victim == RedKing || victim == BlackKing)
            continue;
        list[n++] = RecordOf(from, to, 0, 0, 0);
    }
    const uint32_t us = pos.SideToMove;
    for (int i = 0; i < n; i++) {
        RefPlay(pos, list[i].from, list[i].to, after);
        const bool exposed = RefKingAttacked(after, us);
        MoveRecord r = list[i];
        ASSERT_EQ(MakeMove(r, pos), !exposed)
            << list[i].from << "-" << list[i].to << " in " << FenOfPosition(pos);
        if (exposed) continue;
        const uint32_t mask = AttackersOfKing(pos, pos.SideToMove);
        EXPECT_EQ(pos.MoveStack[pos.MoveCount].givesCheck != 0, mask != 0);
        if (mask) {
            EXPECT_EQ(CurrentCheckers(pos), mask) << list[i].from << "-" << list[i].to;
        }
        UnmakeMove(pos);
    }
}

TEST(MakeMove, ShortcutAttackTestsAgreeWithTheFullTest) {
    const char* const fens[] = {
        StartFen,
        "r1bakab1r/9/1cn4c1/p1p1n1p1p/4N4/2N6/P1P1P1P1P/1C5C1/9/R1BAKAB1R w - - 0 1",
        "3akab2/9/4b4/9/4c4/9/4P4/4C4/9/3AKAB2 w - - 0 1",
        "2bak4/4a4/4b4/2R1N4/2n6/2p3C2/9/4B4/4A4/3AK1B2 b - - 0 1",
    };
    std::mt19937 rng(11);
    Position& pos = ScratchPosition(0);
    for (const char* fen : fens) {
        for (int game = 0; game < 12; game++) {
            LoadFen(fen, pos);
            for (int ply = 0; ply < 80; ply++) {
                ASSERT_NO_FATAL_FAILURE(ExpectMovesJudgedAsByFullTest(pos, rng));
                // After a null move both tests run in full again.
                if (!SideToMoveInCheck(pos)) {
                    MakeNullMove(pos);
                    ASSERT_NO_FATAL_FAILURE(ExpectMovesJudgedAsByFullTest(pos, rng));
                    UnmakeNullMove(pos);
                }
                const uint32_t side = pos.SideToMove;
                PlayRandomGame(pos, 1, rng);
                if (pos.SideToMove == side) break;  // no legal move left
            }
        }
    }
}

// The per-side copies agree with the shared one on every generated move,
// refused ones included, and after null moves.
TEST(MakeMove, PerSideCopiesAgreeWithTheSharedOne) {
    std::mt19937 rng(17);
    Position& shared = ScratchPosition(0);
    Position& sided = ScratchPosition(1);
    int moves = 0;
    for (int game = 0; game < 20; game++) {
        LoadFen(StartFen, shared);
        for (int ply = 0; ply < 100; ply++) {
            for (int null = 0; null < 2; null++) {
                if (null) {
                    if (SideToMoveInCheck(shared)) break;
                    MakeNullMove(shared);
                }
                MoveRecord list[MaxGeneratedMoves + 1];
                const int n = GenerateAll(shared, list);
                for (int i = 0; i < n; i++) {
                    std::memcpy(&sided, &shared, sizeof shared);
                    MoveRecord a = list[i], b = list[i];
                    const bool madeShared = MakeMove(a, shared);
                    ASSERT_EQ(MakeMoveBySide(b, sided), madeShared);
                    ASSERT_TRUE(SameLivePosition(shared, sided));
                    ASSERT_EQ(CurrentCheckers(shared), CurrentCheckers(sided));
                    ASSERT_EQ(a.captured, b.captured);
                    if (madeShared) UnmakeMove(shared);
                    moves++;
                }
                if (null) UnmakeNullMove(shared);
            }
            const uint32_t side = shared.SideToMove;
            PlayRandomGame(shared, 1, rng);
            if (shared.SideToMove == side) break;  // no legal move left
        }
    }
    EXPECT_GT(moves, 10000);
}

TEST(MakeMove, CheckersMaskNamesTheAttackers) {
    struct Case {
        const char* fen;
        uint32_t mask;
    };
    const Case cases[] = {
        // Red to move; black attackers use bits 12..23.
        {"3k5/9/9/9/9/9/9/9/9/3rK4 w", 1u << 22},     // rook beside the king
        {"4k4/9/9/9/4c4/9/9/9/4A4/4K4 w", 1u << 20},  // cannon over a screen
        {"3k5/9/9/9/9/9/9/9/2n6/4K4 w", 1u << 18},    // knight, leg empty
        {"3k5/9/9/9/9/9/9/9/2nR5/4K4 w", 0},          // knight, leg blocked
        {"3k5/9/9/9/9/9/9/9/4p4/4K4 w", 1u << 13},    // pawn in front
        {"3k5/9/9/9/9/9/9/9/9/3pK4 w", 1u << 13},     // pawn beside
        {"4k4/9/9/9/9/9/9/9/9/4K4 w", 1u << 12},      // facing kings
        {"5k3/9/9/9/9/9/9/9/2n6/3K5 w", 0},           // knight on no attacking square
        // Black to move; red attackers use bits 0..11.
        {"3k5/3P5/9/9/9/9/9/9/9/4K4 b", 1u << 1},
        {"3k5/9/9/9/9/9/9/9/9/3RK4 b", 1u << 10},
        {"3k1N3/9/9/9/9/9/9/9/9/4K4 b", 0},
        {"3k5/9/4N4/9/9/9/9/9/9/4K4 b", 1u << 6},
        {"3k5/3R5/9/3C5/9/9/9/9/9/4K4 b", (1u << 10) | (1u << 8)},  // rook and cannon
    };
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        LoadFen(c.fen, pos);
        EXPECT_EQ(pos.CheckersStack[0], c.mask) << c.fen;
        EXPECT_EQ(pos.MoveStack[0].givesCheck != 0, c.mask != 0) << c.fen;
        EXPECT_EQ(c.mask != 0, RefKingAttacked(pos, pos.SideToMove)) << c.fen;
    }
    LoadFen("9/9/9/9/9/9/9/9/9/4K4 w", pos);
    pos.CheckersStack[0] = 12345;
    EXPECT_FALSE(InCheck(pos, Black));  // no black king
    EXPECT_EQ(pos.CheckersStack[0], 12345u);
}

struct RepetitionCase {
    const char* fen;
    const char* moves[4];
    int expected;
};

TEST(Repetition, Codes) {
    const RepetitionCase cases[] = {
        // Both sides shuffle a knight out and back.
        {StartFen, {"b0c2", "b9c7", "c2b0", "c7b9"}, 1},
        // Red's rook checks on both of its moves; red to move: red is the checker.
        {"3k5/9/9/9/9/9/9/9/4R4/5K3 w", {"e1d1", "d9e9", "d1e1", "e9d9"}, 3},
        // Black's rook checks on both of its moves; black to move.
        {"5k3/4r4/9/9/9/9/9/9/9/3K5 b", {"e8d8", "d0e0", "d8e8", "e0d0"}, 2},
        // The same checker seen from the side that only escapes.
        {"5k3/4r4/9/9/9/9/9/9/9/4K4 w", {"e0d0", "e8d8", "d0e0", "d8e8"}, 2},
    };
    Position& pos = ScratchPosition();
    for (const RepetitionCase& c : cases) {
        LoadFen(c.fen, pos);
        for (int i = 0; i < 4; i++) {
            MoveRecord r = ParseMoveString(c.moves[i]);
            ASSERT_TRUE(MakeMove(r, pos)) << c.fen << " " << c.moves[i];
            if (i < 3) {
                EXPECT_EQ(DetectRepetition(pos), 0);
            }
        }
        EXPECT_EQ(DetectRepetition(pos), c.expected) << c.fen;
    }
}

TEST(Repetition, BothSidesCheckingAndNullMoves) {
    Position& pos = ScratchPosition();
    // Every move gives check: code 4.
    LoadFen("3k5/9/9/9/9/9/9/9/9/5K3 w", pos);
    auto play = [&](const char* m, bool check) {
        MoveRecord r = ParseMoveString(m);
        ASSERT_TRUE(MakeMove(r, pos));
        pos.MoveStack[pos.MoveCount].givesCheck = check;
    };
    play("f0e0", true);
    play("d9d8", true);
    play("e0f0", true);
    play("d8d9", true);
    EXPECT_EQ(DetectRepetition(pos), 4);
    // A null move inside the cycle hides it.
    LoadFen(StartFen, pos);
    play("b0c2", false);
    MakeNullMove(pos);
    play("c2b0", false);
    MakeNullMove(pos);
    EXPECT_EQ(DetectRepetition(pos), 0);
}

}  // namespace
