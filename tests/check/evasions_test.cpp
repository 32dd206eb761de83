// Evasions against slower statements of the same thing: the dedicated
// generators against the filtering fallback, the engine's GenerateAll plus
// MakeMove, and the reference rules; for positions in check from random games
// and for constructed checks of every kind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "check/check.h"
#include "support/reference_rules.h"

namespace {

std::vector<RefMove> MovesOf(const MoveRecord* list, int n) {
    std::vector<RefMove> moves;
    for (int i = 0; i < n; i++) moves.push_back({list[i].from, list[i].to});
    return moves;
}

std::vector<RefMove> Sorted(std::vector<RefMove> moves) {
    std::sort(moves.begin(), moves.end());
    return moves;
}

bool HasDuplicates(const std::vector<RefMove>& moves) {
    const std::vector<RefMove> sorted = Sorted(moves);
    return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

std::vector<std::string> Texts(const MoveRecord* list, int n) {
    std::vector<std::string> texts;
    for (int i = 0; i < n; i++) {
        char text[5];
        FormatMove(list[i].from, list[i].to, text);
        texts.push_back(text);
    }
    return texts;
}

Position& Snapshot() {
    static Position snapshot;
    return snapshot;
}

// Runs one generator and checks that it leaves every byte of the position as
// it was and writes well-formed records.
int RunUnchanged(Position& pos, int (*generate)(Position&, MoveRecord*), MoveRecord* list) {
    std::memcpy(&Snapshot(), &pos, sizeof pos);
    const int n = generate(pos, list);
    EXPECT_EQ(std::memcmp(&Snapshot(), &pos, sizeof pos), 0) << FenOfPosition(pos);
    EXPECT_GE(n, 0);
    EXPECT_LE(n, MaxEvasions);
    for (int i = 0; i < n; i++) {
        EXPECT_EQ(list[i].captured, pos.Board[list[i].to]);
        EXPECT_EQ(list[i].givesCheck, 0);
        EXPECT_EQ(list[i].score, 0);
    }
    return n;
}

// The dedicated list, the filtered list, the engine's legal moves and the
// reference legal moves are one set, with nothing listed twice.
void ExpectEvasionsAgree(Position& pos) {
    ASSERT_TRUE(SideToMoveInCheck(pos)) << FenOfPosition(pos);
    MoveRecord list[MaxEvasions], filtered[MaxEvasions];
    const int n = RunUnchanged(pos, GenerateEvasions, list);
    const int m = RunUnchanged(pos, EvadeByFiltering, filtered);
    const std::vector<RefMove> dedicated = MovesOf(list, n);
    EXPECT_FALSE(HasDuplicates(dedicated)) << FenOfPosition(pos);
    EXPECT_FALSE(HasDuplicates(MovesOf(filtered, m))) << FenOfPosition(pos);
    const std::vector<RefMove> engine = EngineLegalMoves(pos);
    EXPECT_EQ(Sorted(MovesOf(filtered, m)), engine) << FenOfPosition(pos);
    EXPECT_EQ(Sorted(RefLegalMoves(pos)), engine) << FenOfPosition(pos);
    // The candidates, once MakeMove has refused those that leave the king
    // attacked, are the evasions in their order.
    MoveRecord candidates[MaxEvasions];
    const int c = RunUnchanged(pos, GenerateEvasionCandidates, candidates);
    EXPECT_FALSE(HasDuplicates(MovesOf(candidates, c))) << FenOfPosition(pos);
    EXPECT_EQ(MovesMakeMoveAccepts(pos, candidates, c), dedicated) << FenOfPosition(pos);
    // The facing kings alone cannot arise from play; that list is empty.
    const uint32_t mask = CurrentCheckers(pos);
    if (mask == 1 || mask == 4096)
        EXPECT_EQ(n, 0) << FenOfPosition(pos);
    else
        EXPECT_EQ(Sorted(dedicated), engine) << FenOfPosition(pos);
}

// Which generator GenerateEvasions picks for the current position.
enum CheckKind { FacingKings, PawnCheck, KnightCheck, CannonCheck, RookCheck, Several };

CheckKind KindOfCheck(const Position& pos) {
    const uint32_t mask = CurrentCheckers(pos);
    if (mask == 0 || (mask & (mask - 1)) != 0) return Several;
    switch (OffsetOfPiece(CheckerPiece(mask))) {
        case KingOffset:
            return FacingKings;
        case KnightOffset:
        case KnightOffset + 1:
            return KnightCheck;
        case RookOffset:
        case RookOffset + 1:
            return RookCheck;
        case CannonOffset:
        case CannonOffset + 1:
            return CannonCheck;
        default:
            return PawnCheck;
    }
}

TEST(CheckerPiece, NamesThePieceOfTheLowestBit) {
    const uint32_t expected[24] = {16, 27, 28, 29, 30, 31, 21, 22, 25, 26, 23, 24,
                                   32, 43, 44, 45, 46, 47, 37, 38, 41, 42, 39, 40};
    for (uint32_t bit = 0; bit < 24; bit++) {
        EXPECT_EQ(CheckerPiece(1u << bit), expected[bit]) << bit;
        // Higher bits do not matter.
        EXPECT_EQ(CheckerPiece((1u << bit) | (0xFFFFFFu << bit & 0xFFFFFFu)), expected[bit]);
    }
}

struct ConstructedCheck {
    const char* name;
    const char* fen;
    CheckKind kind;
};

const ConstructedCheck ConstructedChecks[] = {
    {"rook on the file", "3k5/9/9/9/4r4/R5N2/9/6C2/9/2BAK1B2 w", RookCheck},
    {"rook on the row", "3k5/9/9/9/2R6/9/1N7/3A5/r3K4/9 w", RookCheck},
    {"black in check by a rook on the row", "3k1R3/4a4/2n6/9/9/9/9/9/9/4K4 b", RookCheck},
    {"pinned rook cannot cover the leg", "3k5/4r4/9/9/9/9/9/9/4R1n2/4K4 w", KnightCheck},
    {"cannon on the file, friendly knight screen", "3k5/9/9/9/4c4/9/4N4/9/9/2BAKA3 w", CannonCheck},
    {"cannon on the file, enemy screen", "3k5/9/9/9/4c4/9/4p4/9/R8/2BAKA3 w", CannonCheck},
    {"cannon on the row, rook screen", "3k5/9/9/9/2nC5/9/9/9/c1R1K4/9 w", CannonCheck},
    {"cannon on the row, enemy screen", "3k5/9/9/9/3C5/9/9/N8/c1p1K4/9 w", CannonCheck},
    {"cannon screen jumps the checker or its king", "3k5/4a4/4c4/9/9/9/4C4/9/4K4/4p4 w",
     CannonCheck},
    {"crossed pawn screen", "3k5/4c4/9/3NP4/9/9/9/9/9/4K4 w", CannonCheck},
    {"crossed pawn screen next to the cannon", "3k5/9/4c4/4P4/9/9/9/9/9/4K4 w", CannonCheck},
    {"pawn screen that has not crossed", "3k5/9/9/9/9/4c4/4P4/9/9/4K4 w", CannonCheck},
    {"advisor screen, uncrossed pawn beside the cannon", "4k4/9/9/9/9/9/2Pc5/3A5/9/3K5 w",
     CannonCheck},
    {"bishop screen", "3k5/9/9/9/4c4/9/9/4B4/9/3AK4 w", CannonCheck},
    {"black in check by a cannon", "3ak4/4a4/9/9/9/9/4C4/9/9/3K5 b", CannonCheck},
    {"knight, leg blocked by advisors", "4k4/9/9/9/9/9/9/3A5/5n3/3K1A3 w", KnightCheck},
    {"knight, leg blocked by bishop or rook", "5k3/9/9/9/9/9/4n4/R8/3K5/6B2 w", KnightCheck},
    {"knight taken by an advisor", "3k5/9/9/9/9/2R6/9/3n1N3/4A4/3AK4 w", KnightCheck},
    {"pawn from the side", "3k5/9/9/9/5R3/9/9/9/4Kp3/9 w", PawnCheck},
    {"pawn from the front", "3k5/9/9/9/9/9/9/9/4p4/3AKA3 w", PawnCheck},
    {"black in check by a pawn", "3k5/3P5/9/9/9/9/9/9/9/4K4 b", PawnCheck},
    {"double check, rook and knight", "3k5/9/9/9/4r4/9/9/3n5/9/4K4 w", Several},
    {"double check, rook screening a cannon", "3k5/9/4c4/9/4r4/9/9/9/9/2BAK4 w", Several},
    {"double check, rook and pawn", "3k5/9/9/9/4r4/9/9/9/3pK4/9 w", Several},
    {"facing kings and a rook", "4k4/9/9/9/9/9/9/9/r3K4/9 w", Several},
    {"facing kings only, red to move", "4k4/9/9/9/9/9/9/9/9/4K4 w", FacingKings},
    {"facing kings only, black to move", "4k4/9/9/9/9/9/9/9/9/4K4 b", FacingKings},
};

TEST(Evasions, ConstructedChecksOfEveryKind) {
    Position& pos = ScratchPosition();
    for (const ConstructedCheck& c : ConstructedChecks) {
        SCOPED_TRACE(c.name);
        LoadFen(c.fen, pos);
        ASSERT_TRUE(SideToMoveInCheck(pos));
        EXPECT_EQ(KindOfCheck(pos), c.kind);
        ExpectEvasionsAgree(pos);
    }
}

// Whole lists in the order of generation: king moves, captures of the
// checker, blocks, then the moves of a cannon's screen.
struct OrderedCase {
    const char* fen;
    std::vector<std::string> moves;
};

TEST(Evasions, OrderOfGeneration) {
    const OrderedCase cases[] = {
        // e1 stays on the rook's file; the knight takes before anything blocks.
        {"3k5/9/9/9/4r4/R5N2/9/6C2/9/2BAK1B2 w",
         {"e0f0", "g4e5", "a4e4", "g2e2", "g4e3", "c0e2", "g0e2", "d0e1"}},
        // The rook screen runs up its file, farthest first, then takes, then down.
        {"3k5/9/9/9/2nC5/9/9/9/c1R1K4/9 w",
         {"e1e2", "e1e0", "c1a1", "d5d1", "c1c4", "c1c3", "c1c2", "c1c5", "c1c0"}},
        // e0 would face the black king; both advisors cover the leg.
        {"4k4/9/9/9/9/9/9/3A5/5n3/3K1A3 w", {"d0d1", "d2e1", "f0e1"}},
        // d1 would face the black king.
        {"3k5/9/9/9/5R3/9/9/9/4Kp3/9 w", {"e1e2", "e1f1", "e1e0", "f5f1"}},
        // The cannon screen jumps the checker (e8), then its own king (e0).
        {"3k5/4a4/4c4/9/9/9/4C4/9/4K4/4p4 w",
         {"e1f1", "e3a3", "e3b3", "e3c3", "e3d3", "e3e8", "e3i3", "e3h3", "e3g3", "e3f3", "e3e0"}},
    };
    Position& pos = ScratchPosition();
    for (const OrderedCase& c : cases) {
        SCOPED_TRACE(c.fen);
        LoadFen(c.fen, pos);
        MoveRecord list[MaxEvasions];
        const int n = GenerateEvasions(pos, list);
        EXPECT_EQ(Texts(list, n), c.moves);
    }
}

TEST(Evasions, DoubleCheckKeepsTheOrderOfGenerateAll) {
    Position& pos = ScratchPosition();
    LoadFen("3k5/9/9/9/4r4/9/9/3n5/9/4K4 w", pos);
    MoveRecord all[MaxGeneratedMoves], list[MaxEvasions];
    const std::vector<RefMove> legal = MovesMakeMoveAccepts(pos, all, GenerateAll(pos, all));
    const int n = GenerateEvasions(pos, list);
    EXPECT_EQ(MovesOf(list, n), legal);
    EXPECT_GT(n, 0);
}

// InCheck for the other side overwrites the current checkers entry; a mask
// that names no piece of the opponent on the board falls back to filtering.
TEST(Evasions, MaskNotNamingTheOpponentFallsBackToFiltering) {
    Position& pos = ScratchPosition();
    const char* fen = "3k5/9/9/9/4r4/R5N2/9/6C2/9/2BAK1B2 w";
    // Red's own rook (bit 10), red's absent cannon 2 (bit 9), a black
    // knight that is not on the board (bit 18), and no bit at all.
    const uint32_t masks[] = {1u << 10, 1u << 9, 1u << 18, 0};
    for (const uint32_t mask : masks) {
        LoadFen(fen, pos);
        pos.CheckersStack[pos.MoveCount] = mask;
        MoveRecord list[MaxEvasions];
        for (int (*generate)(Position&, MoveRecord*) :
             {GenerateEvasions, EvadeRookCheck, EvadeCannonCheck, EvadeKnightCheck,
              EvadePawnCheck}) {
            const int n = RunUnchanged(pos, generate, list);
            EXPECT_EQ(Sorted(MovesOf(list, n)), EngineLegalMoves(pos)) << mask;
        }
    }
    // InCheck for the side not to move leaves such an entry behind.
    LoadFen(fen, pos);
    InCheck(pos, Black);
    MoveRecord list[MaxEvasions];
    const int n = GenerateEvasions(pos, list);
    EXPECT_EQ(Sorted(MovesOf(list, n)), EngineLegalMoves(pos));
}

// The edge cases named for the cannon: which pawn and screen moves appear.
TEST(Evasions, CannonScreensAndPawns) {
    struct Case {
        const char* fen;
        std::vector<std::string> listed, absent;
    };
    const Case cases[] = {
        // The pawn beside the cannon has not crossed: it cannot take sideways.
        {"4k4/9/9/9/9/9/2Pc5/3A5/9/3K5 w", {"d2e1"}, {"c3d3"}},
        // The only screen is an uncrossed pawn: it takes forward, nothing sideways.
        {"3k5/9/9/9/4c4/4P4/9/9/9/4K4 w", {"e4e5"}, {"e4d4", "e4f4"}},
        // A crossed pawn screen steps aside, but not onto its own knight, and its
        // forward step stays on the file.
        {"3k5/4c4/9/3NP4/9/9/9/9/9/4K4 w", {"e6f6"}, {"e6d6", "e6e7"}},
        // Next to the cannon the forward step takes it.
        {"3k5/9/4c4/4P4/9/9/9/9/9/4K4 w", {"e6e7", "e6d6", "e6f6"}, {}},
        // An enemy screen has no moves here; a rook adds a second screen.
        {"3k5/9/9/9/4c4/9/4p4/9/R8/2BAKA3 w", {"a1e1", "c0e2"}, {"e3d3", "e3f3", "e3e2"}},
    };
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        LoadFen(c.fen, pos);
        ASSERT_EQ(KindOfCheck(pos), CannonCheck);
        MoveRecord list[MaxEvasions];
        const std::vector<std::string> texts = Texts(list, GenerateEvasions(pos, list));
        for (const std::string& m : c.listed)
            EXPECT_NE(std::find(texts.begin(), texts.end(), m), texts.end()) << m;
        for (const std::string& m : c.absent)
            EXPECT_EQ(std::find(texts.begin(), texts.end(), m), texts.end()) << m;
    }
}

// Random games from fixed seeds; every position in check is compared.
struct GameSet {
    const char* fen;
    uint32_t seed;
    int games;
    int plies;
};

const GameSet EvasionGames[] = {
    {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", 1, 400, 200},
    {"2bak4/4a4/2n1b4/p1r1p3p/2p3c2/6P2/P3P1c1P/1CN1B4/3RA4/2BAK4 w", 2, 300, 150},
    {"3k5/4a4/4b4/p1P1p1p2/9/9/2p1P1P1p/4B4/4A4/2RAK2C1 w", 3, 300, 150},
    {"4ka3/4a4/3rb4/p1c1N3p/9/9/P3n3P/4C4/4A4/2R1KA3 b", 4, 300, 150},
};

TEST(Evasions, AgreeInPositionsFromRandomGames) {
    Position& pos = ScratchPosition();
    int checked = 0;
    int kinds[Several + 1] = {};
    for (const GameSet& set : EvasionGames) {
        std::mt19937 rng(set.seed);
        for (int game = 0; game < set.games; game++) {
            LoadFen(set.fen, pos);
            for (int ply = 0; ply < set.plies; ply++) {
                if (SideToMoveInCheck(pos)) {
                    ExpectEvasionsAgree(pos);
                    kinds[KindOfCheck(pos)]++;
                    checked++;
                    if (::testing::Test::HasFailure()) return;
                }
                const std::vector<RefMove> moves = EngineLegalMoves(pos);
                if (moves.empty()) break;
                const RefMove m = moves[rng() % moves.size()];
                MoveRecord r = RecordOf(m.from, m.to, 0, 0, 0);
                ASSERT_TRUE(MakeMove(r, pos));
            }
        }
    }
    RecordProperty("positions_in_check", checked);
    EXPECT_GE(checked, 3000);
    for (int kind = PawnCheck; kind <= Several; kind++) EXPECT_GE(kinds[kind], 20) << kind;
}

// Perft from positions in check, where every node in check takes its moves
// from the evasion generator, against the reference count.
TEST(Evasions, PerftFromPositionsInCheck) {
    Position& game = ScratchPosition(0);
    Position& pos = ScratchPosition(1);
    std::mt19937 rng(31);
    int compared = 0;
    for (int g = 0; g < 200 && compared < 150; g++) {
        LoadFen(EvasionGames[g % 4].fen, game);
        for (int ply = 0; ply < 150; ply++) {
            if (SideToMoveInCheck(game) && rng() % 4 == 0) {
                const std::string fen = FenOfPosition(game);
                LoadFen(fen.c_str(), pos);
                ASSERT_EQ(Perft(pos, 2), RefPerft(pos, 2)) << fen;
                compared++;
            }
            const std::vector<RefMove> moves = EngineLegalMoves(game);
            if (moves.empty()) break;
            const RefMove m = moves[rng() % moves.size()];
            MoveRecord r = RecordOf(m.from, m.to, 0, 0, 0);
            ASSERT_TRUE(MakeMove(r, game));
        }
    }
    EXPECT_EQ(compared, 150);
}

// LeavesKingAttacked against MakeMove for every pseudo-legal move, in check
// or not, with the position restored each time.
TEST(LeavesKingAttacked, AgreesWithMakeMove) {
    Position& pos = ScratchPosition();
    std::mt19937 rng(77);
    int moves = 0;
    for (int game = 0; game < 40; game++) {
        LoadFen(StartFen, pos);
        for (int ply = 0; ply < 100; ply++) {
            MoveRecord list[MaxGeneratedMoves];
            const int n = GenerateAll(pos, list);
            for (int i = 0; i < n; i++) {
                std::memcpy(&Snapshot(), &pos, sizeof pos);
                const bool attacked = LeavesKingAttacked(pos, list[i].from, list[i].to);
                ASSERT_EQ(std::memcmp(&Snapshot(), &pos, sizeof pos), 0);
                MoveRecord r = list[i];
                const bool legal = MakeMove(r, pos);
                if (legal) UnmakeMove(pos);
                ASSERT_EQ(attacked, !legal) << FenOfPosition(pos) << " " << Texts(&list[i], 1)[0];
                moves++;
            }
            const std::vector<RefMove> legal = EngineLegalMoves(pos);
            if (legal.empty()) break;
            const RefMove m = legal[rng() % legal.size()];
            MoveRecord r = RecordOf(m.from, m.to, 0, 0, 0);
            MakeMove(r, pos);
        }
    }
    EXPECT_GT(moves, 100000);
}

}  // namespace
