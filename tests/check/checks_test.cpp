// The checking-move generator against a brute-force search: every
// pseudo-legal move is played on a copy of the board and the opponent's king
// tested with the reference rules. Two kinds of difference follow from the
// generator's rules and nothing else may appear:
//  - a move after which the two kings face each other counts as a check for
//    the reference but is illegal for the mover; the generator never looks
//    for such moves;
//  - a cannon that stands beyond the king on its file takes the piece behind
//    the king, so it jumps the king and gives no check; the generator lists
//    that capture all the same.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "check/check.h"
#include "support/reference_rules.h"

namespace {

std::string Text(uint32_t from, uint32_t to) {
    char text[5];
    FormatMove(from, to, text);
    return text;
}

std::vector<std::string> ListedChecks(const Position& pos) {
    MoveRecord list[MaxCheckingMoves];
    const int n = GenerateChecks(pos, list);
    std::vector<std::string> texts;
    for (int i = 0; i < n; i++) texts.push_back(Text(list[i].from, list[i].to));
    return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& move) {
    return std::find(texts.begin(), texts.end(), move) != texts.end();
}

int FileOf(uint32_t s) {
    return FileOfSquare[s];
}
int RowOf(uint32_t s) {
    return RowOfSquare[s];
}

// A cannon on the king's file whose capture lands on the far side of the king.
bool CannonJumpsKing(const Position& pos, uint32_t from, uint32_t to, uint32_t king) {
    const uint32_t piece = pos.Board[from];
    const uint32_t offset = OffsetOfPiece(piece);
    if (offset != CannonOffset && offset != CannonOffset + 1) return false;
    if (!pos.Board[to] || FileOf(from) != FileOf(king) || FileOf(to) != FileOf(king)) return false;
    return (RowOf(from) < RowOf(king)) != (RowOf(to) < RowOf(king));
}

struct Differences {
    int positions = 0, listed = 0;
    int facingKings = 0, cannonJumpsKing = 0;
    std::vector<std::string> unexplained;
};

// Compares the generator with the brute-force search in one position.
void CompareWithBruteForce(const Position& pos, Differences& diff) {
    MoveRecord list[MaxCheckingMoves];
    const int n = GenerateChecks(pos, list);
    ASSERT_LE(n, MaxCheckingMoves);
    diff.positions++;
    diff.listed += n;
    const uint32_t us = pos.SideToMove, them = us ^ 1;
    const uint32_t king = pos.PieceSquare[SideBase(them)];
    Position& after = ScratchPosition(3);

    for (int i = 0; i < n; i++) {
        const MoveRecord& r = list[i];
        const std::string where = FenOfPosition(pos) + " " + Text(r.from, r.to);
        ASSERT_TRUE(IsPseudoLegal(pos, r)) << where;
        ASSERT_TRUE(RefCanMove(pos, r.from, r.to)) << where;
        ASSERT_FALSE(IsListed(r.from, r.to, list, i)) << "listed twice: " << where;
        EXPECT_EQ(r.captured, pos.Board[r.to]) << where;
        EXPECT_EQ(r.givesCheck, 1) << where;
        EXPECT_EQ(r.score, 0) << where;
        RefPlay(pos, r.from, r.to, after);
        if (!RefAttackers(after, them).empty()) continue;
        if (CannonJumpsKing(pos, r.from, r.to, king))
            diff.cannonJumpsKing++;
        else
            diff.unexplained.push_back("listed without check: " + where);
    }
    for (const RefMove& m : RefPseudoLegalMoves(pos)) {
        if (IsListed(m.from, m.to, list, n)) continue;
        RefPlay(pos, m.from, m.to, after);
        const std::vector<uint32_t> attackers = RefAttackers(after, them);
        if (attackers.empty()) continue;
        const bool kingsFace = std::find(attackers.begin(), attackers.end(),
                                         m.from == pos.PieceSquare[SideBase(us)]
                                             ? m.to
                                             : pos.PieceSquare[SideBase(us)]) != attackers.end();
        if (kingsFace && RefKingAttacked(after, us))
            diff.facingKings++;
        else
            diff.unexplained.push_back("missed: " + FenOfPosition(pos) + " " + Text(m.from, m.to));
    }
}

struct GameSet {
    const char* fen;
    uint32_t seed;
    int games;
    int plies;
};

const GameSet CheckGames[] = {
    {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", 11, 60, 150},
    {"2bak4/4a4/2n1b4/p1r1p3p/2p3c2/6P2/P3P1c1P/1CN1B4/3RA4/2BAK4 w", 12, 50, 120},
    {"3k5/4a4/4b4/p1P1p1p2/9/9/2p1P1P1p/4B4/4A4/2RAK2C1 w", 13, 50, 120},
    {"4ka3/4a4/3rb4/p1c1N3p/9/9/P3n3P/4C4/4A4/2R1KA3 b", 14, 50, 120},
    {"2bak4/9/4b4/2C1c4/9/9/9/4B4/4A4/2BK1C3 w", 15, 40, 120},
};

TEST(GenerateChecks, MatchesBruteForceInPositionsFromRandomGames) {
    Position& pos = ScratchPosition();
    Differences diff;
    for (const GameSet& set : CheckGames) {
        std::mt19937 rng(set.seed);
        for (int game = 0; game < set.games; game++) {
            LoadFen(set.fen, pos);
            for (int ply = 0; ply < set.plies; ply++) {
                CompareWithBruteForce(pos, diff);
                if (::testing::Test::HasFatalFailure()) return;
                const std::vector<RefMove> moves = EngineLegalMoves(pos);
                if (moves.empty()) break;
                const RefMove m = moves[rng() % moves.size()];
                MoveRecord r = RecordOf(m.from, m.to, 0, 0, 0);
                ASSERT_TRUE(MakeMove(r, pos));
            }
        }
    }
    for (size_t i = 0; i < diff.unexplained.size() && i < 10; i++)
        ADD_FAILURE() << diff.unexplained[i];
    EXPECT_TRUE(diff.unexplained.empty()) << diff.unexplained.size() << " unexplained";
    EXPECT_GE(diff.positions, 20000);
    EXPECT_GE(diff.listed, 20000);
    // Both kinds of difference do occur in play.
    EXPECT_GT(diff.facingKings, 0);
    EXPECT_GT(diff.cannonJumpsKing, 0);
    RecordProperty("positions", diff.positions);
    RecordProperty("listed", diff.listed);
    RecordProperty("facing_kings_not_listed", diff.facingKings);
    RecordProperty("cannon_jumps_king_listed", diff.cannonJumpsKing);
}

// The two kinds of difference, one position each.
TEST(GenerateChecks, PropertiesOfTheRules) {
    Position& pos = ScratchPosition();
    // A cannon on e9 above the black king: its capture down the file jumps
    // the king. Listed, though the king is not in check after it.
    LoadFen("2bC3n1/4a4/nrrk4b/P1p6/7c1/1c1p2pR1/C1P3P1P/9/5N3/1NB1KAB2 w", pos);
    // (a black king on d7 and the red cannon on d9 with nothing between)
    EXPECT_TRUE(Contains(ListedChecks(pos), "d9d4"));
    Position& after = ScratchPosition(1);
    const MoveRecord jump = ParseMoveString("d9d4");
    RefPlay(pos, jump.from, jump.to, after);
    EXPECT_FALSE(RefKingAttacked(after, Black));
    // Stepping the pawn off the e-file would let the kings face: a "check"
    // that is illegal for red, and not listed.
    LoadFen("4k4/9/9/9/4P4/9/9/9/9/4K4 w", pos);
    const MoveRecord step = ParseMoveString("e5d5");
    RefPlay(pos, step.from, step.to, after);
    EXPECT_TRUE(RefKingAttacked(after, Black));
    EXPECT_TRUE(RefKingAttacked(after, Red));
    EXPECT_FALSE(Contains(ListedChecks(pos), "e5d5"));
}

struct ListCase {
    const char* name;
    const char* fen;
    std::vector<std::string> listed;  // in this order, when `exact`
    std::vector<std::string> absent;
    bool exact;
};

const ListCase ListCases[] = {
    {"a rook reaches both corners, its own row first",
     "4k4/9/9/9/9/R8/9/9/9/3K5 w",
     {"a4e4", "a4a9"},
     {},
     true},
    {"a corner holding our own piece gives nothing",
     "4k4/9/9/9/9/R3P4/9/9/9/3K5 w",
     {"a4a9"},
     {"a4e4"},
     false},
    {"a corner holding theirs is taken when it is the rook's first piece",
     "4k4/9/9/9/9/R3p4/9/9/9/3K5 w",
     {"a4e4", "a4a9"},
     {},
     true},
    {"a corner holding theirs behind another piece gives nothing",
     "4k4/9/9/9/9/R1p1n4/9/9/9/3K5 w",
     {"a4a9"},
     {"a4e4", "a4c4"},
     false},
    {"a direct and discovered rook check is listed once",
     "4k4/3R5/3N5/9/9/9/9/9/9/3K5 w",
     {"d8e8", "d8d9"},
     {},
     false},
    {"a knight onto the file of a cannon on e0",
     "4k4/9/9/9/9/9/3N5/9/9/3KC4 w",
     {"d3e5"},
     {},
     false},
    {"a central bishop from c0", "4k4/9/9/9/9/9/9/9/9/2BKC4 w", {"c0e2"}, {}, true},
    {"a central bishop from g0", "4k4/9/9/9/9/9/9/9/9/3KC1B2 w", {"g0e2"}, {}, true},
    {"a central bishop from c4", "4k4/9/9/9/9/2B6/9/9/9/3KC4 w", {"c4e2"}, {}, true},
    {"a central bishop from g4", "4k4/9/9/9/9/6B2/9/9/9/3KC4 w", {"g4e2"}, {}, true},
    {"no central bishop move when its eye is blocked",
     "4k4/9/9/9/9/9/9/9/3N5/2BKC4 w",
     {},
     {"c0e2"},
     false},
    {"with black to move the central bishop goes to e7",
     "2b1ck3/9/9/9/9/9/9/9/9/4K4 b",
     {"c9e7"},
     {},
     true},
    {"two screens of ours both leave the file",
     "4k4/9/9/9/4N4/9/4R4/9/9/3KC4 w",
     // the rook sees the knight leave first, then the cannon sees the rook leave
     {"e5f7", "e5g6", "e5g4", "e5f3", "e5d3", "e5c4", "e5c6", "e5d7", "e3a3", "e3b3", "e3c3",
      "e3d3", "e3i3", "e3h3", "e3g3", "e3f3"},
     {},
     true},
    {"a screen of theirs gives nothing",
     "4k4/9/9/9/4n4/9/4R4/9/9/3KC4 w",
     // the rook's capture of the knight comes from the rook's own rule
     {"e3e5", "e3a3", "e3b3", "e3c3", "e3d3", "e3i3", "e3h3", "e3g3", "e3f3"},
     {},
     true},
    {"a pawn on the knight's leg moves, the knight does not",
     "4k4/3P5/3N5/9/9/9/9/9/9/3K5 w",
     {"d8c8", "d8e8", "d8d9"},
     {"d7f6", "d7b6", "d7c5", "d7e5", "d7b8"},
     true},
    {"a pawn two rows below the king steps forward",
     "4k4/9/4P4/9/9/9/9/9/9/3K5 w",
     {"e7e8"},
     {},
     true},
    {"a pawn two files beside the king steps toward it",
     "2P1k4/9/9/9/9/9/9/9/9/3K5 w",
     {"c9d9"},
     {},
     true},
    {"a king screen on the palace edge steps inward only",
     "3k5/9/9/9/3P5/9/9/9/3K5/3C5 w",
     {"d1e1", "d5c5", "d5e5"},
     {"d1c1", "d5d6"},
     false},
};

TEST(GenerateChecks, ConstructedLists) {
    Position& pos = ScratchPosition();
    for (const ListCase& c : ListCases) {
        SCOPED_TRACE(c.name);
        LoadFen(c.fen, pos);
        const std::vector<std::string> texts = ListedChecks(pos);
        if (c.exact) {
            EXPECT_EQ(texts, c.listed);
        } else {
            for (const std::string& m : c.listed) EXPECT_TRUE(Contains(texts, m)) << m;
        }
        for (const std::string& m : c.absent) EXPECT_FALSE(Contains(texts, m)) << m;
        std::vector<std::string> sorted = texts;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
    }
}

TEST(GenerateChecks, NothingWithoutTheirKing) {
    Position& pos = ScratchPosition();
    LoadFen("9/9/9/9/9/9/9/9/4R4/3K5 w", pos);
    MoveRecord list[MaxCheckingMoves];
    EXPECT_EQ(GenerateChecks(pos, list), 0);
}

TEST(IsListed, ScansOnlyTheRecordsWritten) {
    const MoveRecord list[3] = {{1, 2, 0, 0, 0}, {3, 4, 0, 0, 0}, {5, 6, 0, 0, 0}};
    EXPECT_TRUE(IsListed(3, 4, list, 2));
    EXPECT_FALSE(IsListed(4, 3, list, 3));
    EXPECT_FALSE(IsListed(5, 6, list, 2));
    EXPECT_TRUE(IsListed(5, 6, list, 3));
    EXPECT_FALSE(IsListed(1, 2, list, 0));
}

}  // namespace
