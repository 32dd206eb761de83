// Which pieces a move chases: one case per part of the rule, on small boards,
// and the attacks that count against a slow statement of the rule written
// with the reference move rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "rules/rules.h"
#include "rules_test_support.h"
#include "support/placement.h"
#include "support/reference_rules.h"

namespace {

bool Contains(const std::vector<RefMove>& moves, const RefMove& m) {
    return std::find(moves.begin(), moves.end(), m) != moves.end();
}

struct ChaseCase {
    const char* pieces;  // placement, red to move
    const char* move;    // red's move
    const char* chased;  // squares of the pieces it newly chases
    const char* why;
};

const ChaseCase ChaseCases[] = {
    // Horses.
    {"Kd0 kf9 Nc1 ne5 Pe4", "c1d3", "e5", "a horse on an unprotected horse whose leg is blocked"},
    {"Kd0 kf9 Nc1 ne5", "c1d3", "", "horse on horse: the target's leg is free, it takes back"},
    {"Kd0 kf9 Nc1 re5 ra5", "c1d3", "e5", "a horse on a rook counts though the rook is protected"},
    {"Kd0 kf9 Nc1 ce5 ra5", "c1d3", "", "a horse on a protected cannon is no chase"},
    {"Kd0 kf9 Nc1 ce5", "c1d3", "e5", "a horse on an unprotected cannon"},
    // Cannons.
    {"Kd0 kf9 Ca2 Pe3 ne7", "a2e2", "e7", "a cannon over its screen on an unprotected horse"},
    {"Kd0 kf9 Ca2 Pe3 ne7 bg9", "a2e2", "", "the horse is protected by the elephant"},
    {"Kd0 kf9 Ca2 Pe3 re7 bg9", "a2e2", "e7", "a cannon on a rook counts though it is protected"},
    // Rooks.
    {"Kd0 kf9 Ra2 ne7", "a2e2", "e7", "a rook on an unprotected horse"},
    {"Kd0 kf9 Ra2 ne7 bg9", "a2e2", "", "a rook on a protected horse"},
    {"Kd0 kf9 Ra2 rc7", "a2c2", "", "rook on rook: the target takes back"},
    {"Kd0 kf9 Ra2 rf7 Rf0", "a2a7", "f7",
     "the rook pinned on the f-file cannot take back along rank 7, and is unprotected"},
    {"Kd0 kf9 Ra5 nc5", "a5b5", "", "the rook attacked the horse before its move already"},
    // Discovered chases: a cannon's screen moves.
    {"Kd0 kf9 Ca0 Nb2 na7", "b2a4", "a7", "the horse steps in as the cannon's screen"},
    {"Kd0 kf9 Ca0 Pa3 Na5 na7", "a5c4", "a7", "one of two screens steps away"},
    // Pawns.
    {"Kd0 kf9 Ra2 pc6", "a2c2", "", "a pawn that has not crossed the river is no target"},
    {"Kd0 kf9 Ra2 pc4", "a2c2", "c4", "a pawn across the river is, when unprotected"},
    {"Kd0 kf9 Bc0 pg4 rg9", "c0e2", "", "an elephant on a protected pawn"},
    // Advisors and elephants count on rooks, horses and cannons.
    {"Kd0 kf9 Bc0 rg4 rg9", "c0e2", "g4", "an elephant on a protected rook"},
    {"Ke0 kf9 Af0 cd2 rd7", "f0e1", "d2", "an advisor on a protected cannon"},
    // The king's recapture counts only where it would be safe.
    {"Kd0 ke9 ne8 Ra1", "a1a8", "", "the king takes back on e8"},
    {"Ke0 ke9 ne8 Ra1", "a1a8", "e8", "taking back on e8 would face the kings"},
    // A check chases nothing.
    {"Ke0 kd9 Rf1 nh8", "f1f8", "h8", "no check: the rook attacks the horse"},
    {"Kd0 ke8 Rf1 nh8", "f1f8", "", "the same move gives check"},
};

TEST(ChaseSet, OneCasePerPartOfTheRule) {
    Position& board = ScratchPosition(0);
    for (const ChaseCase& c : ChaseCases) {
        ASSERT_EQ(LoadPlacement(board, c.pieces, Red), "") << c.pieces;
        std::vector<RefMove> legal = RefLegalMoves(board);
        const Move m = MoveNamed(c.move);
        ASSERT_TRUE(Contains(legal, RefMove{MoveFrom(m), MoveTo(m)})) << c.pieces << " " << c.move;
        const uint64_t chased = ChaseSet(board, m, StandardRules);
        // Shown on the board after the move, where the targets stand.
        MoveRecord record = RecordOfMove(board, m);
        ASSERT_TRUE(MakeMove(record, board));
        EXPECT_EQ(SquaresOf(board, chased), c.chased) << c.pieces << " " << c.move << ": " << c.why;
    }
}

struct AttackCase {
    const char* pieces;
    const char* attacked;  // red's counting attacks
    const char* why;
};

const AttackCase AttackCases[] = {
    {"Ke0 kf9 Ne2 rd7 cg3", "g3", "the horse may take the unprotected cannon"},
    {"Ke0 kf9 Ne2 re7 cg3", "", "pinned against its king, the horse attacks only its pinner"},
    {"Ke0 kf9 Re2 re7 cg2", "", "the pinned rook may take its pinner, which takes back"},
    // The rook is the screen of the cannon's check: leaving the file answers it.
    {"Ke0 kf9 Re2 ce7 cg2", "e7 g2", "a cannon's screen is not pinned"},
};

TEST(CountingAttacks, PinnedPiecesAttackOnlyTheirPinners) {
    Position& board = ScratchPosition(0);
    for (const AttackCase& c : AttackCases) {
        ASSERT_EQ(LoadPlacement(board, c.pieces, Red), "") << c.pieces;
        EXPECT_EQ(SquaresOf(board, CountingAttacks(board, Red, StandardRules)), c.attacked)
            << c.pieces << ": " << c.why;
    }
}

// Kings, advisors and elephants on random points of their own, pawns where
// some game brings them (LoadFen refuses the rest), every other piece
// anywhere; each piece but the kings present with probability one half.
void LoadRandomBoard(Position& board, std::mt19937& rng) {
    static const char* const Points[] = {
        "d0 e0 f0 d1 e1 f1 d2 e2 f2", "d0 f0 e1 d2 f2", "c0 g0 a2 e2 i2 c4 g4",
        "d9 e9 f9 d8 e8 f8 d7 e7 f7", "d9 f9 e8 d7 f7", "c9 g9 a7 e7 i7 c5 g5",
    };
    char grid[10][9] = {};
    for (const char* piece = "KkAABBNNRRCCPPPPPaabbnnrrccppppp"; *piece; piece++) {
        const char* kinds = std::strchr("KAB", *piece);
        const char* blackKinds = std::strchr("kab", *piece);
        if (*piece != 'K' && *piece != 'k' && rng() % 2) continue;
        for (int tries = 0; tries < 100; tries++) {
            uint32_t file = rng() % 9, rank = rng() % 10;
            if (kinds || blackKinds) {
                const char* points =
                    kinds ? Points[kinds - "KAB"] : Points[3 + (blackKinds - "kab")];
                const size_t count = (std::strlen(points) + 1) / 3;
                const char* point = points + 3 * (rng() % count);
                file = uint32_t(point[0] - 'a');
                rank = uint32_t(point[1] - '0');
            }
            // Pawns never step back, nor sideways before the river.
            const uint32_t ownRank = *piece == 'P' ? rank : 9 - rank;
            if ((*piece == 'P' || *piece == 'p') && ownRank < 5 && (ownRank < 3 || file % 2))
                continue;
            char& cell = grid[9 - rank][file];
            if (cell) continue;
            cell = *piece;
            break;
        }
    }
    const std::string fen = FenOfGrid(grid, Red);
    ASSERT_TRUE(LoadFen(fen.c_str(), board)) << fen;
}

// The rule as it reads, with the reference rules: every legal capture of a
// piece that chases onto a piece that can be chased, kept when the pair always
// counts or when no legal recapture follows, unless a piece of the same type
// could legally take back at once.
uint64_t SlowCountingAttacks(const Position& pos, uint32_t side) {
    static Position asMover, after;
    std::memcpy(&asMover, &pos, sizeof pos);
    asMover.SideToMove = side;
    Position& theirs = ScratchPosition(3);
    std::memcpy(&theirs, &pos, sizeof pos);
    theirs.SideToMove = side ^ 1;
    const std::vector<RefMove> ourMoves = RefLegalMoves(asMover);
    const std::vector<RefMove> theirMoves = RefLegalMoves(theirs);
    uint64_t chased = 0;
    for (const RefMove& m : ourMoves) {
        const uint32_t attacker = pos.Board[m.from], target = pos.Board[m.to];
        if (target == 0) continue;
        const PieceType a = TypeOfPiece(attacker), t = TypeOfPiece(target);
        if (a == KingType || a == PawnType || t == KingType) continue;
        if (t == PawnType && !HasCrossedRiver(side ^ 1, m.to)) continue;
        if (a == t && Contains(theirMoves, RefMove{m.to, m.from})) continue;
        bool counts = StandardRules.chasesProtected[a][t];
        if (!counts) {
            RefPlay(asMover, m.from, m.to, after);
            counts = true;
            for (const RefMove& reply : RefLegalMoves(after))
                if (reply.to == m.to) counts = false;
        }
        if (counts) chased |= uint64_t(1) << target;
    }
    return chased;
}

TEST(CountingAttacks, AgreeWithTheRuleWrittenOutOnRandomBoards) {
    std::mt19937 rng(23);
    Position& board = ScratchPosition(0);
    int withAttacks = 0;
    for (int i = 0; i < 1500; i++) {
        ASSERT_NO_FATAL_FAILURE(LoadRandomBoard(board, rng));
        for (uint32_t side : {Red, Black}) {
            const uint64_t expected = SlowCountingAttacks(board, side);
            withAttacks += expected != 0;
            ASSERT_EQ(CountingAttacks(board, side, StandardRules), expected)
                << FenOfPosition(board) << " side " << side;
        }
    }
    EXPECT_GT(withAttacks, 500);  // the boards exercise the rule
}

}  // namespace
