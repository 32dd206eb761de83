// Every term against a slow statement of it that walks the board square by
// square, over positions from random games and from random placements.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "eval/eval.h"
#include "position/piece_values.h"
#include "support/placement.h"
#include "support/reference_rules.h"

namespace {

enum { King, Advisor, Bishop, Knight, Rook, Cannon, Pawn };

struct Piece {
    int side, type, file, row;
};

int TypeOf(uint32_t piece) {
    static const int types[16] = {King, Advisor, Advisor, Bishop, Bishop, Knight, Knight, Rook,
                                  Rook, Cannon,  Cannon,  Pawn,   Pawn,   Pawn,   Pawn,   Pawn};
    return types[piece & 15];
}

// The board as a 9 x 10 grid of pieces, read square by square.
struct Grid {
    uint32_t at[9][10];  // [file][row], 0 = empty
    std::vector<Piece> pieces;

    explicit Grid(const Position& pos) {
        for (int f = 0; f < 9; f++)
            for (int r = 0; r < 10; r++) {
                at[f][r] = pos.Board[SquareAt(f, r)];
                if (at[f][r])
                    pieces.push_back({int(SideOfPiece(at[f][r])), TypeOf(at[f][r]), f, r});
            }
    }
    bool Has(int f, int r) const { return f >= 0 && f < 9 && r >= 0 && r < 10 && at[f][r]; }
    bool Is(int f, int r, int side, int type) const {
        return Has(f, r) && int(SideOfPiece(at[f][r])) == side && TypeOf(at[f][r]) == type;
    }
    int Count(int side, int type) const {
        int n = 0;
        for (const Piece& p : pieces) n += p.side == side && p.type == type;
        return n;
    }
    const Piece* Find(int side, int type) const {
        for (const Piece& p : pieces)
            if (p.side == side && p.type == type) return &p;
        return nullptr;
    }
    // The pieces strictly between two squares of one line, nearest first.
    std::vector<uint32_t> Between(int f1, int r1, int f2, int r2) const {
        std::vector<uint32_t> found;
        const int df = (f2 > f1) - (f2 < f1), dr = (r2 > r1) - (r2 < r1);
        for (int f = f1 + df, r = r1 + dr; f != f2 || r != r2; f += df, r += dr)
            if (at[f][r]) found.push_back(at[f][r]);
        return found;
    }
    // The row of the first piece met from (f, r) walking by dr along the file, -1 for none.
    int FirstRow(int f, int r, int dr) const {
        for (int row = r + dr; row >= 0 && row < 10; row += dr)
            if (at[f][row]) return row;
        return -1;
    }
};

int RefEmptyCannon(const Grid& g, int side) {
    if (g.Count(side, Rook) == 0) return 0;
    const Piece* king = g.Find(1 - side, King);
    if (!king) return 0;
    const int kf = king->file, kr = king->row;
    const bool blackKing = king->side == Black;
    int points = 0;
    for (const Piece& c : g.pieces) {
        if (c.side != side || c.type != Cannon) continue;
        if (c.file == kf) {
            const bool below = c.row > kr;
            if (below != (side == Red) || !g.Between(c.file, c.row, kf, kr).empty()) continue;
            if (kf == 3 || kf == 5) points += g.Has(4, kr) ? 40 : 20;
            if (kf == 4) points += g.Has(3, kr) && g.Has(5, kr) ? 60 : 30;
        } else if (c.row == kr) {
            if (!g.Between(c.file, c.row, kf, kr).empty()) continue;
            const int middle = blackKing ? 1 : 8;
            if (kr == middle)
                points += g.Has(kf, kr - 1) && g.Has(kf, kr + 1) ? 35 : 15;
            else if (kr == middle - 1 || kr == middle + 1)
                points += g.Has(kf, middle) ? 40 : 20;
        }
    }
    return points;
}

int RefPalaceHeart(const Grid& g, int side) {
    const int enemy = 1 - side, back = side == Red ? 0 : 9, heart = side == Red ? 1 : 8;
    if (!g.Is(4, back, enemy, King) || !g.Has(3, back) || !g.Has(5, back)) return 0;
    const bool knight = g.Is(4, heart, enemy, Knight);
    const bool rook = g.Is(4, heart, enemy, Rook);
    if (!(knight || (rook && side == Red))) return 0;
    int points = 10;
    for (const Piece& c : g.pieces) {
        if (c.side != side || c.type != Cannon || c.file != 4) continue;
        const int first = g.FirstRow(4, c.row, side == Red ? -1 : 1);
        if (side == Red) points += first == 2 ? 60 : 20;
        if (side == Black) points += first == 7 ? 70 : 30;
    }
    return points;
}

int RefRookAdvantage(const Grid& g, int side) {
    return g.Count(side, Rook) > 0 && g.Count(1 - side, Rook) == 0 ? 40 : 0;
}

int RefKnightCannonPair(const Grid& g, int side) {
    if (g.Count(side, Knight) != 1 || g.Count(side, Cannon) != 1) return 0;
    return g.Count(1 - side, Knight) == 0 || g.Count(1 - side, Cannon) == 0 ? 20 : 0;
}

int RefRookPin(const Grid& g, int side) {
    int points = 0;
    for (const Piece& red : g.pieces) {
        if (red.side != Red || red.type != Rook) continue;
        for (const Piece& black : g.pieces) {
            if (black.side != Black || black.type != Rook) continue;
            const bool sameRow = red.row == black.row && red.row != 0;
            const bool sameFile = red.file == black.file && red.file != 0;
            if (!sameRow && !sameFile) continue;
            const std::vector<uint32_t> between =
                g.Between(red.file, red.row, black.file, black.row);
            if (between.size() != 1) continue;
            const uint32_t p = between[0];
            const bool target =
                int(SideOfPiece(p)) != side && (TypeOf(p) == Knight || TypeOf(p) == Cannon);
            if (target) points += side == Red ? 20 : 45;
        }
    }
    return points;
}

int RefKnightMobility(const Grid& g, int side) {
    static const int jumps[8][2] = {{1, 2}, {-1, 2}, {1, -2}, {-1, -2},
                                    {2, 1}, {2, -1}, {-2, 1}, {-2, -1}};
    int points = 0;
    for (const Piece& n : g.pieces) {
        if (n.side != side || n.type != Knight) continue;
        for (const auto& j : jumps) {
            const int f = n.file + j[0], r = n.row + j[1];
            if (f < 0 || f > 8 || r < 0 || r > 9) continue;
            const int legFile = std::abs(j[0]) == 2 ? n.file + j[0] / 2 : n.file;
            const int legRow = std::abs(j[1]) == 2 ? n.row + j[1] / 2 : n.row;
            if (g.Has(legFile, legRow)) continue;
            if (!g.Has(f, r) || int(SideOfPiece(g.at[f][r])) != side) points += 5;
        }
    }
    return points;
}

int RefRookMobility(const Grid& g, int side) {
    int points = 0;
    for (const Piece& rook : g.pieces) {
        if (rook.side != side || rook.type != Rook) continue;
        int alongFile = 0, alongRow = 0;
        for (int dr : {-1, 1})
            for (int r = rook.row + dr; r >= 0 && r < 10 && !g.at[rook.file][r]; r += dr)
                alongFile++;
        for (int df : {-1, 1})
            for (int f = rook.file + df; f >= 0 && f < 9 && !g.at[f][rook.row]; f += df) alongRow++;
        points += alongFile / 2 + alongRow / 2;
    }
    return points;
}

int RefCentralCannon(const Grid& g, int side) {
    const int enemy = 1 - side;
    const int back = side == Red ? 0 : 9, step = side == Red ? 1 : -1;
    if (!g.Is(4, back, enemy, King) || !g.Is(4, back + step, enemy, Advisor) ||
        !g.Is(4, back + 2 * step, enemy, Bishop) || !g.Is(4, back + 3 * step, side, Cannon))
        return 0;
    bool rookOn3 = false, rookOn5 = false;
    for (const Piece& p : g.pieces) {
        if (p.side != side || p.type != Rook) continue;
        rookOn3 |= p.file == 3;
        rookOn5 |= p.file == 5;
    }
    int points = 0;
    if (g.Is(3, back, enemy, Advisor) && rookOn5) points += 15;
    if (g.Is(5, back, enemy, Advisor) && rookOn3) points += 15;
    return points;
}

typedef int32_t (*Term)(const Position&, uint32_t);
typedef int (*RefTerm)(const Grid&, int);

struct TermPair {
    const char* name;
    Term fast;
    RefTerm slow;
};

const TermPair Terms[] = {
    {"EmptyCannonBonus", EmptyCannonBonus, RefEmptyCannon},
    {"PalaceHeartBonus", PalaceHeartBonus, RefPalaceHeart},
    {"RookAdvantageBonus", RookAdvantageBonus, RefRookAdvantage},
    {"KnightCannonPairBonus", KnightCannonPairBonus, RefKnightCannonPair},
    {"RookPinBonus", RookPinBonus, RefRookPin},
    {"KnightMobility", KnightMobility, RefKnightMobility},
    {"RookMobility", RookMobility, RefRookMobility},
    {"CentralCannonBonus", CentralCannonBonus, RefCentralCannon},
};
constexpr int TermCount = sizeof Terms / sizeof Terms[0];

int32_t RefEvaluate(const Position& pos) {
    const Grid g(pos);
    int32_t score = 0;
    for (int f = 0; f < 9; f++)
        for (int r = 0; r < 10; r++) {
            const uint32_t p = g.at[f][r];
            if (!p) continue;
            const int32_t value = PlacementValue(PieceKind[p], f, r);
            score += IsRedPiece(p) ? value : -value;
        }
    for (const TermPair& t : Terms) score += t.slow(g, Red) - t.slow(g, Black);
    return pos.SideToMove == Red ? score + 3 : 3 - score;
}

// Places `letter` on (file, row) if the square is free, the quota allows and
// some game can bring the piece there.
bool Put(char board[10][9], int quota[128], char letter, int file, int row) {
    if (board[row][file] || quota[int(letter)] == 0) return false;
    if (!RefCanStandOn(letter, file, row)) return false;
    board[row][file] = letter;
    quota[int(letter)]--;
    return true;
}

// Random boards that favour the palaces, the centre files and the edges, and
// often start from most of a king-attack pattern (the king on its back-row
// centre, pieces in front of it, a cannon on the centre file, rooks on the d-
// and f-files), so that the rarer terms come up both on and just off.
// Kings are sometimes missing.
std::string RandomPlacement(std::mt19937& rng) {
    int quota[128] = {};
    for (const char* l = "KAABBNNRRCCPPPPPkaabbnnrrccppppp"; *l; l++) quota[int(*l)]++;
    char board[10][9] = {};
    if (rng() % 2) {
        const bool redAttacks = rng() % 2;
        const auto row = [&](int fromBack) { return redAttacks ? fromBack : 9 - fromBack; };
        const auto own = [&](char c) { return redAttacks ? c : char(c - 'a' + 'A'); };
        const auto enemy = [&](char c) { return redAttacks ? char(c - 'a' + 'A') : c; };
        const auto maybe = [&]() { return rng() % 5 != 0; };
        if (maybe()) Put(board, quota, own('k'), 4, row(0));
        if (maybe()) Put(board, quota, own("anrb"[rng() % 4]), 4, row(1));
        if (maybe()) Put(board, quota, own(rng() % 2 ? 'b' : 'p'), 4, row(2));
        if (maybe()) Put(board, quota, enemy('c'), 4, row(3 + int(rng() % 2)));
        if (maybe()) Put(board, quota, rng() % 2 ? own('a') : own('n'), 3, row(0));
        if (maybe()) Put(board, quota, rng() % 2 ? own('a') : own('b'), 5, row(0));
        if (maybe()) Put(board, quota, enemy('r'), 3 + 2 * int(rng() % 2), int(rng() % 10));
        if (maybe()) Put(board, quota, enemy('c'), 4, int(rng() % 10));
    }
    for (const char* l = "KAABBNNRRCCPPPPPkaabbnnrrccppppp"; *l; l++) {
        if (quota[int(*l)] == 0 || rng() % 3 == 0) continue;
        const bool red = *l >= 'A' && *l <= 'Z';
        for (int tries = 0; tries < 20; tries++) {
            int file, row;
            switch (rng() % 4) {
                case 0:  // a palace, usually the enemy's for attackers
                    file = 3 + int(rng() % 3);
                    row = int(rng() % 3) + ((rng() % 2) ^ red ? 0 : 7);
                    break;
                case 1:  // the centre file
                    file = 4;
                    row = int(rng() % 10);
                    break;
                case 2:  // an edge line
                    file = rng() % 2 ? int(rng() % 9) : int(rng() % 2) * 8;
                    row = file == 0 || file == 8 ? int(rng() % 10) : int(rng() % 2) * 9;
                    break;
                default:
                    file = int(rng() % 9);
                    row = int(rng() % 10);
            }
            if (Put(board, quota, *l, file, row)) break;
        }
    }
    return FenOfGrid(board, rng() % 2 ? Red : Black);
}

struct Coverage {
    int nonzero[TermCount][2] = {};
    int positions = 0;
};

void CompareAll(const Position& pos, Coverage& coverage) {
    const Grid g(pos);
    for (int t = 0; t < TermCount; t++)
        for (uint32_t side = Red; side <= Black; side++) {
            const int32_t fast = Terms[t].fast(pos, side);
            ASSERT_EQ(fast, Terms[t].slow(g, int(side)))
                << Terms[t].name << " side " << side << " " << FenOfPosition(pos);
            coverage.nonzero[t][side] += fast != 0;
        }
    ASSERT_EQ(Evaluate(pos), RefEvaluate(pos)) << FenOfPosition(pos);
    coverage.positions++;
}

TEST(EvalReference, TermsAgreeOverRandomGames) {
    Position& pos = ScratchPosition();
    std::mt19937 rng(11);
    Coverage coverage;
    for (int game = 0; game < 150; game++) {
        LoadFen(StartFen, pos);
        for (int ply = 0; ply < 200; ply += 4) {
            PlayRandomGame(pos, 4, rng);
            CompareAll(pos, coverage);
            if (HasFatalFailure()) return;
        }
    }
    // Random games reach the mobility, pin and material terms often.
    for (int t : {3, 4, 5, 6})
        for (int side = 0; side < 2; side++)
            EXPECT_GT(coverage.nonzero[t][side], 20) << Terms[t].name;
}

TEST(EvalReference, TermsAgreeOverRandomPlacements) {
    Position& pos = ScratchPosition();
    std::mt19937 rng(12);
    Coverage coverage;
    for (int i = 0; i < 40000; i++) {
        const std::string fen = RandomPlacement(rng);
        ASSERT_TRUE(LoadFen(fen.c_str(), pos)) << fen;
        CompareAll(pos, coverage);
        if (HasFatalFailure()) return;
    }
    for (int t = 0; t < TermCount; t++)
        for (int side = 0; side < 2; side++)
            EXPECT_GT(coverage.nonzero[t][side], 20) << Terms[t].name << " side " << side;
}

}  // namespace
