#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "position/position.h"
#include "support/placement.h"
#include "support/reference_rules.h"

namespace {

TEST(MoveGen, StartPositionCountsAndOrder) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    MoveRecord list[MaxGeneratedMoves + 1];
    ASSERT_EQ(GenerateCaptures(pos, list), 2);
    EXPECT_EQ(list[0].from, 120u);
    EXPECT_EQ(list[0].to, 29u);
    EXPECT_EQ(list[0].captured, 37u);
    EXPECT_EQ(list[1].from, 126u);
    EXPECT_EQ(list[1].to, 35u);
    EXPECT_EQ(list[1].captured, 38u);
    ASSERT_EQ(GenerateNonCaptures(pos, list), 42);
    const uint32_t firstMoves[5][2] = {{149, 136}, {148, 136}, {150, 136}, {147, 123}, {147, 119}};
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(list[i].from, firstMoves[i][0]) << i;
        EXPECT_EQ(list[i].to, firstMoves[i][1]) << i;
    }
    // The rook on a0 slides farthest first: a2, then a1.
    int rook = 0;
    while (list[rook].from != 145) rook++;
    EXPECT_EQ(list[rook].to, 119u);
    EXPECT_EQ(list[rook + 1].to, 132u);
    ASSERT_EQ(GenerateAll(pos, list), 44);
    EXPECT_NE(list[0].captured, 0u);
    EXPECT_NE(list[1].captured, 0u);
    for (int i = 2; i < 44; i++) EXPECT_EQ(list[i].captured, 0u);

    LoadFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1", pos);
    EXPECT_EQ(GenerateCaptures(pos, list), 2);
    EXPECT_EQ(GenerateNonCaptures(pos, list), 42);
}

// The captures of the king, the advisors and the bishops, listed by the
// generator (which passes over them when nothing stands where they could
// take) and by every step of their tables, each sorted.
std::pair<std::vector<RefMove>, std::vector<RefMove>> DefenderCaptures(const Position& pos) {
    MoveRecord list[MaxGeneratedMoves + 1];
    const int n = GenerateCaptures(pos, list);
    std::vector<RefMove> generated, stepped;
    for (int i = 0; i < n; i++)
        if (OffsetOfPiece(pos.Board[list[i].from]) < KnightOffset)
            generated.push_back({list[i].from, list[i].to});
    const uint32_t own = SideBase(pos.SideToMove), enemy = 32u >> pos.SideToMove;
    for (uint32_t piece = own; piece < own + KnightOffset; piece++) {
        const uint32_t from = pos.PieceSquare[piece];
        if (from == 0) continue;
        const uint32_t offset = piece - own;
        const uint8_t* steps = offset == KingOffset    ? KingMoves[from]
                               : offset < BishopOffset ? AdvisorMoves[from]
                                                       : BishopMoves[from];
        for (; *steps; steps++) {
            const bool eyeBlocked = offset >= BishopOffset && pos.Board[(from + *steps) / 2];
            if ((pos.Board[*steps] & enemy) && !eyeBlocked) stepped.push_back({from, *steps});
        }
    }
    std::sort(generated.begin(), generated.end());
    std::sort(stepped.begin(), stepped.end());
    return {generated, stepped};
}

// Loads the side's pieces, each on the square its code picks from `squares`
// (the code equal to the count of squares: not on the board); false when two
// share a square or one stands where no game can bring it.
bool LoadCoded(Position& pos, uint32_t side, const char* letters,
               const std::vector<std::string>& squares, int code, std::string& pieces) {
    const int options = int(squares.size()) + 1;
    pieces.clear();
    std::vector<int> used;
    for (const char* c = letters; *c; c++, code /= options) {
        const int at = code % options;
        if (at == options - 1) continue;
        if (std::find(used.begin(), used.end(), at) != used.end()) return false;
        if (!RefCanStandOn(*c, squares[at][0] - 'a', '9' - squares[at][1])) return false;
        used.push_back(at);
        if (!pieces.empty()) pieces += ' ';
        pieces += *c;
        pieces += squares[at];
    }
    EXPECT_EQ(LoadPlacement(pos, pieces.c_str(), side), "");
    return true;
}

// The king and both advisors on any of their squares in the palace, then
// both bishops on any of their points, each against an enemy rook on any
// other of those squares or just off them; then random placements, crowds
// included.
TEST(MoveGen, DefenderCapturesInEveryArrangement) {
    Position& pos = ScratchPosition();
    int captures = 0;
    for (uint32_t side = Red; side <= Black; side++) {
        const auto rank = [&](int fromBack) {
            return char(side == Red ? '0' + fromBack : '9' - fromBack);
        };
        std::vector<std::string> palace, points;
        for (int r = 0; r < 3; r++)
            for (char f = 'd'; f <= 'f'; f++) palace.push_back(std::string{f, rank(r)});
        for (const char* p : {"c0", "g0", "a2", "e2", "i2", "c4", "g4", "d1", "e4"})
            points.push_back(std::string{p[0], rank(p[1] - '0')});  // the last two: the rook's only
        const bool red = side == Red;
        const std::string guards = red ? "KAAr" : "kaaR", bishops = red ? "BBr" : "bbR";
        std::string pieces;
        for (int code = 0; code < 10 * 10 * 10 * 10; code++) {
            if (!LoadCoded(pos, side, guards.c_str(), palace, code, pieces)) continue;
            const auto lists = DefenderCaptures(pos);
            ASSERT_EQ(lists.first, lists.second) << pieces;
            captures += int(lists.first.size());
        }
        for (int code = 0; code < 10 * 10 * 10; code++) {
            if (!LoadCoded(pos, side, bishops.c_str(), points, code, pieces)) continue;
            const auto lists = DefenderCaptures(pos);
            ASSERT_EQ(lists.first, lists.second) << pieces;
            captures += int(lists.first.size());
        }
    }
    std::mt19937 rng(23);
    for (int trial = 0; trial < 3000; trial++) {
        ASSERT_TRUE(LoadRandomPlacement(pos, rng, 0.4 + 0.6 * (trial % 4) / 3.0)) << trial;
        const auto lists = DefenderCaptures(pos);
        ASSERT_EQ(lists.first, lists.second) << "trial " << trial;
        captures += int(lists.first.size());
    }
    EXPECT_GT(captures, 1000);
}

// Along random games, the generators produce exactly the moves that the slow
// reference rules allow, each once, and IsPseudoLegal agrees with the
// reference on every pair of squares.
TEST(MoveGen, AgreesWithReferenceRulesAlongRandomGames) {
    std::mt19937 rng(11);
    Position& pos = ScratchPosition();
    int positions = 0;
    for (int game = 0; game < 30; game++) {
        LoadFen(StartFen, pos);
        for (int ply = 0; ply < 150; ply++) {
            MoveRecord list[MaxGeneratedMoves + 1];
            const int captures = GenerateCaptures(pos, list);
            ASSERT_LE(captures, MaxGeneratedCaptures);
            const int n = captures + GenerateNonCaptures(pos, list + captures);
            ASSERT_LE(n, MaxGeneratedMoves);
            std::vector<RefMove> generated;
            for (int i = 0; i < n; i++) {
                ASSERT_EQ(list[i].captured, pos.Board[list[i].to]);
                ASSERT_EQ(i < captures, list[i].captured != 0);
                ASSERT_TRUE(IsPseudoLegal(pos, list[i]));
                generated.push_back({list[i].from, list[i].to});
            }
            std::sort(generated.begin(), generated.end());
            ASSERT_TRUE(std::adjacent_find(generated.begin(), generated.end()) == generated.end());
            std::vector<RefMove> reference = RefPseudoLegalMoves(pos);
            std::sort(reference.begin(), reference.end());
            ASSERT_EQ(generated, reference) << "game " << game << " ply " << ply;

            std::vector<RefMove> legal = RefLegalMoves(pos);
            std::sort(legal.begin(), legal.end());
            ASSERT_EQ(EngineLegalMoves(pos), legal);

            if (ply % 10 == 0) {
                for (uint32_t from = 0; from < BoardSquares; from++)
                    for (uint32_t to = 0; to < BoardSquares; to++) {
                        const MoveRecord r = RecordOf(from, to, 0, 0, 0);
                        const bool mine =
                            pos.Board[from] && SideOfPiece(pos.Board[from]) == pos.SideToMove;
                        ASSERT_EQ(IsPseudoLegal(pos, r), mine && RefCanMove(pos, from, to))
                            << from << "-" << to;
                    }
            }
            positions++;
            if (legal.empty()) break;
            PlayRandomGame(pos, 1, rng);
        }
    }
    EXPECT_GT(positions, 1000);
}

TEST(MoveGen, IsPseudoLegalEdgeCases) {
    Position& pos = ScratchPosition();
    struct Case {
        const char* fen;
        uint32_t from, to;
        bool expected;
    };
    const Case cases[] = {
        {StartFen, SquareAt(4, 4), SquareAt(4, 3), false},  // empty square
        {StartFen, SquareAt(0, 3), SquareAt(0, 4), false},  // opponent's pawn
        {StartFen, SquareAt(0, 9), SquareAt(0, 6), false},  // onto an own pawn
        {StartFen, SquareAt(1, 7), SquareAt(1, 2), false},  // cannon capture with no screen
        {StartFen, SquareAt(1, 7), SquareAt(1, 0), true},   // cannon over its screen
        {StartFen, SquareAt(2, 6), SquareAt(3, 6), false},  // pawn sideways before the river
        {StartFen, SquareAt(1, 9), SquareAt(3, 8), false},  // a knight cannot jump so
        {StartFen, SquareAt(1, 9), SquareAt(2, 7), true},
        {StartFen, SquareAt(2, 9), SquareAt(4, 7), true},                      // bishop, eye empty
        {"4k4/9/9/9/9/9/9/9/9/3RK4 b", SquareAt(4, 0), SquareAt(3, 0), true},  // into check
        // Steps that would leave the board.
        {"4k4/P8/9/9/9/9/9/9/9/4K4 w", SquareAt(0, 0), SquareAt(0, 0) - 13, false},
        {"4k4/9/9/9/9/9/9/9/9/2B1K4 w", SquareAt(2, 9), SquareAt(2, 9) + 24, false},
        {"4k4/9/9/9/9/9/9/9/9/N3K4 w", SquareAt(0, 9), SquareAt(0, 9) + 11, false},
    };
    for (const Case& c : cases) {
        LoadFen(c.fen, pos);
        EXPECT_EQ(IsPseudoLegal(pos, RecordOf(c.from, c.to, 0, 0, 0)), c.expected)
            << c.fen << " " << c.from << "-" << c.to;
    }
}

}  // namespace
