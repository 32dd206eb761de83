// The consistency check that the debug builds run after every move: it must
// find a position corrupted by hand, and find nothing wrong in the positions
// that play reaches. It is called directly, so these run in every build.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "position/debug_checks.h"
#include "position/position.h"
#include "support/reference_rules.h"

namespace {

std::string Verdict(const Position& pos) {
    const char* what = PositionInconsistency(pos);
    return what ? what : "";
}

struct Corruption {
    const char* name;
    void (*apply)(Position& pos);
    const char* reported;  // a part of the reason given
    bool incremental;      // the check after every move finds it too
};

// Each case spoils one field of a position after red's h2h9, a capture,
// black to move.
const Corruption Corruptions[] = {
    {"key bit", [](Position& p) { p.KeyStack[p.MoveCount] ^= 1u << 20; }, "key", true},
    {"key of the other side", [](Position& p) { p.KeyStack[p.MoveCount] ^= ZobristSide; }, "key",
     true},
    {"side to move alone", [](Position& p) { p.SideToMove ^= 1; }, "key", true},
    {"side to move out of range", [](Position& p) { p.SideToMove = 2; }, "side to move", true},
    {"red's sum", [](Position& p) { p.RedValue += 1; }, "red's sum", true},
    {"black's sum", [](Position& p) { p.BlackValue -= 7; }, "black's sum", true},
    {"sums exchanged",
     [](Position& p) {
         const int32_t red = p.RedValue;
         p.RedValue = p.BlackValue;
         p.BlackValue = red;
     },
     "sum", true},
    {"file bit", [](Position& p) { p.FileBits[4] ^= uint16_t(1u << 5); }, "file occupancy", true},
    {"row bit", [](Position& p) { p.RowBits[5] ^= uint16_t(1u << 3); }, "row occupancy", true},
    {"piece moved on the board only",
     [](Position& p) {
         p.Board[SquareAt(0, 5)] = p.Board[SquareAt(0, 6)];
         p.Board[SquareAt(0, 6)] = 0;
     },
     "disagree", true},
    {"piece dropped from the map", [](Position& p) { p.PieceSquare[p.Board[SquareAt(0, 9)]] = 0; },
     "occupancy", true},
    {"captured piece back in the map",
     [](Position& p) { p.PieceSquare[p.MoveStack[p.MoveCount].captured] = SquareAt(4, 4); },
     "disagree", true},
    {"map square out of range",
     [](Position& p) { p.PieceSquare[p.MoveStack[p.MoveCount].captured] = 250; }, "disagree", true},
    {"check flag", [](Position& p) { p.MoveStack[p.MoveCount].givesCheck ^= 1; }, "check flag",
     true},
    {"move count past the stacks", [](Position& p) { p.MoveCount = CheckersStackSize; },
     "move count", true},
    // Only the full check looks at the board beyond the mapped pieces and
    // at the last move.
    {"piece in the margin", [](Position& p) { p.Board[SquareAt(0, 0) - 1] = 43; }, "margin", false},
    {"piece number out of range", [](Position& p) { p.Board[SquareAt(4, 4)] = 200; }, "disagree",
     false},
    {"number below the pieces", [](Position& p) { p.Board[SquareAt(4, 4)] = 3; }, "disagree",
     false},
    {"number below the pieces mapped", [](Position& p) { p.PieceSquare[5] = SquareAt(4, 4); },
     "disagree", false},
    {"last move's target",
     [](Position& p) { p.MoveStack[p.MoveCount].to = uint8_t(SquareAt(4, 4)); },
     "last move's squares", false},
    {"last move's squares off the board",
     [](Position& p) { p.MoveStack[p.MoveCount].from = p.MoveStack[p.MoveCount].to = 250; },
     "last move's squares", false},
    {"last move's capture still on the board",
     [](Position& p) { p.MoveStack[p.MoveCount].captured = p.Board[SquareAt(0, 0)]; },
     "last move's capture", false},
};

TEST(PositionConsistency, FindsEachCorruption) {
    Position& pos = ScratchPosition(0);
    Position& clean = ScratchPosition(1);
    LoadFen(StartFen, clean);
    MoveRecord r = ParseMoveString("h2h9");
    ASSERT_TRUE(MakeMove(r, clean));
    ASSERT_NE(clean.MoveStack[clean.MoveCount].captured, 0);
    ASSERT_EQ(Verdict(clean), "");
    ASSERT_EQ(IncrementalStateMismatch(clean), nullptr);
    for (const Corruption& c : Corruptions) {
        std::memcpy(&pos, &clean, sizeof pos);
        c.apply(pos);
        const std::string verdict = Verdict(pos);
        EXPECT_NE(verdict.find(c.reported), std::string::npos)
            << c.name << ": reported \"" << verdict << "\"";
        EXPECT_FALSE(PositionIsConsistent(pos)) << c.name;
        EXPECT_EQ(IncrementalStateMismatch(pos) != nullptr, c.incremental) << c.name;
    }
}

// The full check recomputes the sums from the placement values, so a sum
// kept faithfully from a wrong square table is still found.
TEST(PositionConsistency, SumsAreCheckedAgainstThePlacementValues) {
    Position& pos = ScratchPosition();
    const uint32_t kind = 4, square = SquareAt(0, 9);  // red's rook on a0
    const int32_t kept = PieceSquareValue[kind][square];
    PieceSquareValue[kind][square] = kept + 5;
    LoadFen(StartFen, pos);
    const std::string verdict = Verdict(pos);
    const bool incremental = IncrementalStateMismatch(pos) != nullptr;
    PieceSquareValue[kind][square] = kept;
    EXPECT_EQ(verdict, "sums against the placement values");
    EXPECT_FALSE(incremental);
    LoadFen(StartFen, pos);
    EXPECT_EQ(Verdict(pos), "");
}

// Walks every move path of `depth` plies, with a null move where the search
// could make one (neither king attacked), and checks the position after every
// change and every undo.
void WalkChecking(Position& pos, int depth, uint64_t& visited) {
    ASSERT_EQ(Verdict(pos), "");
    visited++;
    if (depth == 0) return;
    if (!SideToMoveInCheck(pos) && AttackersOfKing(pos, pos.SideToMove ^ 1) == 0) {
        MakeNullMove(pos);
        ASSERT_EQ(Verdict(pos), "") << "after a null move in " << FenOfPosition(pos);
        UnmakeNullMove(pos);
        ASSERT_EQ(Verdict(pos), "");
    }
    MoveRecord list[MaxGeneratedMoves + 1];
    const int n = GenerateAll(pos, list);
    for (int i = 0; i < n; i++) {
        if (!MakeMove(list[i], pos)) {
            ASSERT_EQ(Verdict(pos), "") << "after a refused move";
            continue;
        }
        // The test support's own recomputation agrees.
        ASSERT_EQ(CheckInvariants(pos), "");
        WalkChecking(pos, depth - 1, visited);
        UnmakeMove(pos);
        ASSERT_EQ(Verdict(pos), "") << "after unmaking";
    }
}

TEST(PositionConsistency, HoldsAlongPerftWalksFromEveryTestPosition) {
    std::ifstream file(QUILLON_SOURCE_DIR "/tests/check/perft_positions.txt");
    ASSERT_TRUE(file.good());
    Position& pos = ScratchPosition();
    std::set<std::string> walked;
    uint64_t visited = 0;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        int depth;
        uint64_t count;
        std::string fen;
        in >> depth >> count;
        std::getline(in >> std::ws, fen);
        if (!walked.insert(fen).second) continue;
        LoadFen(fen.c_str(), pos);
        WalkChecking(pos, 3, visited);
        ASSERT_FALSE(HasFatalFailure()) << fen;
        EXPECT_EQ(pos.MoveCount, 0u);
    }
    EXPECT_GE(walked.size(), 10u);
    EXPECT_GE(visited, 200000u);
}

TEST(PositionConsistency, HoldsAlongRandomGamesAndRandomPlacements) {
    std::mt19937 rng(11);
    Position& pos = ScratchPosition();
    uint64_t visited = 0;
    for (int game = 0; game < 12; game++) {
        if (game % 2 == 0) {
            LoadFen(StartFen, pos);
        } else {
            // Placements no game reaches: kings out of their palaces, both
            // sides in check, pawns behind their start.
            LoadRandomPlacement(pos, rng, 0.6);
        }
        for (int ply = 0; ply < 80; ply++) {
            WalkChecking(pos, 1, visited);
            ASSERT_FALSE(HasFatalFailure()) << FenOfPosition(pos);
            const uint32_t side = pos.SideToMove;
            PlayRandomGame(pos, 1, rng);
            if (pos.SideToMove == side) break;
        }
    }
    EXPECT_GE(visited, 5000u);
}

#ifdef QUILLON_CHECKS_ON
// Where the checks are on, making a move in a corrupted position stops the
// program and names what is wrong.
TEST(PositionConsistencyDeathTest, MakeMoveStopsOnACorruptedPosition) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    pos.RedValue += 3;
    MoveRecord r = ParseMoveString("h2e2");
    EXPECT_DEATH(MakeMove(r, pos), "red's sum");
    LoadFen(StartFen, pos);
    MakeNullMove(pos);
    pos.KeyStack[0] ^= 1;
    EXPECT_DEATH(UnmakeNullMove(pos), "key");
}
#endif

}  // namespace
