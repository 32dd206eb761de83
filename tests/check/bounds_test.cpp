// The lists of both generators fit the callers' arrays in any position the
// FEN loader accepts, legal or not: every list holds distinct moves, each
// within the pattern of the piece that makes it, so no list can outgrow the
// per-piece maxima behind MaxGeneratedMoves. The arrays here are exactly the
// bound, so the sanitizer build reports any write past it.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "check/check.h"
#include "support/reference_rules.h"

namespace {

// Distinct moves of the side to move, each fitting its piece's pattern.
std::string ListProblems(const Position& pos, const MoveRecord* list, int n, int bound) {
    if (n < 0 || n > bound) return "count " + std::to_string(n);
    std::vector<RefMove> moves;
    for (int i = 0; i < n; i++) {
        const uint32_t piece = pos.Board[list[i].from];
        if (!piece || SideOfPiece(piece) != pos.SideToMove) return "not a piece of the mover";
        if (!FitsPiecePattern(pos, list[i].from, list[i].to)) return "outside the piece's pattern";
        if (pos.Board[list[i].to] && SideOfPiece(pos.Board[list[i].to]) == pos.SideToMove)
            return "takes its own piece";
        moves.push_back({list[i].from, list[i].to});
    }
    std::sort(moves.begin(), moves.end());
    if (std::adjacent_find(moves.begin(), moves.end()) != moves.end()) return "listed twice";
    return "";
}

// The per-piece maxima sum to the bound the lists are sized by.
TEST(Bounds, PerPieceMaximaSumToTheBound) {
    const int king = 4, advisor = 4, bishop = 4, knight = 8, slider = 9 + 8, pawn = 3;
    EXPECT_EQ(king + 2 * advisor + 2 * bishop + 2 * knight + 4 * slider + 5 * pawn,
              MaxGeneratedMoves);
    EXPECT_EQ(MaxEvasions, MaxGeneratedMoves);
    EXPECT_EQ(MaxCheckingMoves, MaxGeneratedMoves);
}

TEST(Bounds, EveryGeneratorInRandomPlacements) {
    typedef int (*Evasions)(Position&, MoveRecord*);
    const Evasions evasions[] = {GenerateEvasions, EvadeRookCheck, EvadeCannonCheck,
                                 EvadeKnightCheck, EvadePawnCheck, EvadeByFiltering};
    Position& pos = ScratchPosition();
    std::mt19937 rng(4242);
    int inCheck = 0, largest = 0;
    for (int trial = 0; trial < 6000; trial++) {
        ASSERT_TRUE(LoadRandomPlacement(pos, rng, 0.3 + 0.7 * (trial % 8) / 7.0));
        const std::string fen = FenOfPosition(pos);
        MoveRecord list[MaxGeneratedMoves];
        const int checks = GenerateChecks(pos, list);
        ASSERT_EQ(ListProblems(pos, list, checks, MaxCheckingMoves), "") << fen;
        largest = std::max(largest, checks);
        if (!SideToMoveInCheck(pos)) continue;
        inCheck++;
        for (const Evasions generate : evasions) {
            const int n = generate(pos, list);
            ASSERT_EQ(ListProblems(pos, list, n, MaxEvasions), "") << fen;
            for (int i = 0; i < n; i++) {
                MoveRecord r = list[i];
                ASSERT_TRUE(MakeMove(r, pos)) << fen;
                UnmakeMove(pos);
            }
            largest = std::max(largest, n);
        }
    }
    EXPECT_GT(inCheck, 1000);
    RecordProperty("largest_list", largest);
}

}  // namespace
