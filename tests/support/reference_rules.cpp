#include "support/reference_rules.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

int FileOf(uint32_t s) {
    return int(s % 13) - 2;
}
int RowOf(uint32_t s) {
    return int(s / 13) - 2;
}
bool OnBoard(int file, int row) {
    return file >= 0 && file < 9 && row >= 0 && row < 10;
}
uint32_t At(int file, int row) {
    return uint32_t(28 + 13 * row + file);
}
bool InOwnPalace(uint32_t side, int file, int row) {
    if (file < 3 || file > 5) return false;
    return side == Red ? row >= 7 : row <= 2;
}
bool InOwnHalf(uint32_t side, int row) {
    return side == Red ? row >= 5 : row <= 4;
}

// Pieces strictly between two squares of one line.
int PiecesBetween(const Position& pos, int f1, int r1, int f2, int r2) {
    const int df = (f2 > f1) - (f2 < f1), dr = (r2 > r1) - (r2 < r1);
    int count = 0;
    for (int f = f1 + df, r = r1 + dr; f != f2 || r != r2; f += df, r += dr)
        if (pos.Board[At(f, r)]) count++;
    return count;
}

}  // namespace

bool RefCanMove(const Position& pos, uint32_t from, uint32_t to) {
    const uint32_t piece = pos.Board[from];
    if (!piece || from == to) return false;
    const int f1 = FileOf(from), r1 = RowOf(from), f2 = FileOf(to), r2 = RowOf(to);
    if (!OnBoard(f1, r1) || !OnBoard(f2, r2)) return false;
    const uint32_t side = SideOfPiece(piece);
    const uint32_t target = pos.Board[to];
    if (target && SideOfPiece(target) == side) return false;
    const int df = f2 - f1, dr = r2 - r1;
    const int adf = std::abs(df), adr = std::abs(dr);
    switch (OffsetOfPiece(piece)) {
        case 0:
            return adf + adr == 1 && InOwnPalace(side, f2, r2);
        case 1:
        case 2:
            return adf == 1 && adr == 1 && InOwnPalace(side, f2, r2);
        case 3:
        case 4:
            return adf == 2 && adr == 2 && InOwnHalf(side, r2) &&
                   pos.Board[At(f1 + df / 2, r1 + dr / 2)] == 0;
        case 5:
        case 6:
            if (adf == 1 && adr == 2) return pos.Board[At(f1, r1 + dr / 2)] == 0;
            if (adf == 2 && adr == 1) return pos.Board[At(f1 + df / 2, r1)] == 0;
            return false;
        case 7:
        case 8:
            if (df != 0 && dr != 0) return false;
            return PiecesBetween(pos, f1, r1, f2, r2) == 0;
        case 9:
        case 10:
            if (df != 0 && dr != 0) return false;
            return PiecesBetween(pos, f1, r1, f2, r2) == (target ? 1 : 0);
        default: {
            const int forward = side == Red ? -1 : 1;
            if (df == 0 && dr == forward) return true;
            const bool crossed = !InOwnHalf(side, r1);
            return crossed && dr == 0 && adf == 1;
        }
    }
}

std::vector<RefMove> RefPseudoLegalMoves(const Position& pos) {
    std::vector<RefMove> moves;
    for (uint32_t from = 0; from < BoardSquares; from++) {
        const uint32_t piece = pos.Board[from];
        if (!piece || SideOfPiece(piece) != pos.SideToMove) continue;
        for (uint32_t to = 0; to < BoardSquares; to++)
            if (RefCanMove(pos, from, to)) moves.push_back({from, to});
    }
    return moves;
}

bool RefKingAttacked(const Position& pos, uint32_t side) {
    uint32_t king = 0, other = 0;
    for (uint32_t s = 0; s < BoardSquares; s++) {
        if (pos.Board[s] == SideBase(side)) king = s;
        if (pos.Board[s] == SideBase(side ^ 1)) other = s;
    }
    if (!king) return false;
    if (other && FileOf(king) == FileOf(other) &&
        PiecesBetween(pos, FileOf(king), RowOf(king), FileOf(other), RowOf(other)) == 0)
        return true;
    for (uint32_t s = 0; s < BoardSquares; s++) {
        const uint32_t p = pos.Board[s];
        if (!p || SideOfPiece(p) == side || OffsetOfPiece(p) == 0) continue;
        if (RefCanMove(pos, s, king)) return true;
    }
    return false;
}

namespace {

// Plays a move on a copy of the board fields only; enough for the attack test.
void PlayOnBoard(Position& pos, uint32_t from, uint32_t to) {
    const uint32_t piece = pos.Board[from];
    pos.Board[to] = piece;
    pos.Board[from] = 0;
}

}  // namespace

std::vector<RefMove> RefLegalMoves(const Position& pos) {
    std::vector<RefMove> legal;
    std::unique_ptr<Position> copy(new Position);
    for (const RefMove& m : RefPseudoLegalMoves(pos)) {
        std::copy(std::begin(pos.Board), std::end(pos.Board), std::begin(copy->Board));
        PlayOnBoard(*copy, m.from, m.to);
        if (!RefKingAttacked(*copy, pos.SideToMove)) legal.push_back(m);
    }
    return legal;
}

uint64_t RefPerft(const Position& pos, int depth) {
    if (depth == 0) return 1;
    const std::vector<RefMove> moves = RefLegalMoves(pos);
    if (depth == 1) return moves.size();
    uint64_t total = 0;
    std::unique_ptr<Position> child(new Position);
    for (const RefMove& m : moves) {
        std::copy(std::begin(pos.Board), std::end(pos.Board), std::begin(child->Board));
        PlayOnBoard(*child, m.from, m.to);
        child->SideToMove = pos.SideToMove ^ 1;
        total += RefPerft(*child, depth - 1);
    }
    return total;
}

std::string CheckInvariants(const Position& pos) {
    std::string errors;
    uint16_t fileBits[9] = {}, rowBits[10] = {};
    int32_t red = 0, black = 0;
    for (uint32_t s = 0; s < BoardSquares; s++) {
        const uint32_t p = pos.Board[s];
        if (!p) continue;
        if (!SquareOnBoard[s]) errors += "piece in the margin; ";
        if (p < 16 || p > 47 || pos.PieceSquare[p] != s) errors += "Board/PieceSquare disagree; ";
        fileBits[FileOf(s)] |= uint16_t(1u << RowOf(s));
        rowBits[RowOf(s)] |= uint16_t(1u << (8 - FileOf(s)));
        (IsRedPiece(p) ? red : black) += PieceSquareValue[PieceKind[p]][s];
    }
    for (uint32_t p = 0; p < 48; p++)
        if (pos.PieceSquare[p] && pos.Board[pos.PieceSquare[p]] != p)
            errors += "PieceSquare/Board disagree; ";
    for (int f = 0; f < 9; f++)
        if (fileBits[f] != pos.FileBits[f]) errors += "FileBits; ";
    for (int r = 0; r < 10; r++)
        if (rowBits[r] != pos.RowBits[r]) errors += "RowBits; ";
    if (red != pos.RedValue) errors += "RedValue; ";
    if (black != pos.BlackValue) errors += "BlackValue; ";
    if (ComputeKey(pos) != pos.KeyStack[pos.MoveCount]) errors += "key; ";
    if (pos.SideToMove > 1) errors += "SideToMove; ";
    return errors;
}

std::vector<RefMove> MovesMakeMoveAccepts(Position& pos, const MoveRecord* list, int n) {
    std::vector<RefMove> moves;
    for (int i = 0; i < n; i++) {
        MoveRecord r = list[i];
        if (!MakeMove(r, pos)) continue;
        UnmakeMove(pos);
        moves.push_back({list[i].from, list[i].to});
    }
    return moves;
}

std::vector<RefMove> EngineLegalMoves(Position& pos) {
    MoveRecord list[MaxGeneratedMoves + 1];
    const int n = GenerateAll(pos, list);
    std::vector<RefMove> moves = MovesMakeMoveAccepts(pos, list, n);
    std::sort(moves.begin(), moves.end());
    return moves;
}

void PlayRandomGame(Position& pos, int plies, std::mt19937& rng) {
    for (int i = 0; i < plies; i++) {
        std::vector<RefMove> moves = EngineLegalMoves(pos);
        if (moves.empty()) return;
        const RefMove m = moves[rng() % moves.size()];
        MoveRecord r = RecordOf(m.from, m.to, 0, 0, 0);
        MakeMove(r, pos);
    }
}

Position& ScratchPosition(int index) {
    static Position positions[4];
    return positions[index];
}

std::vector<uint32_t> RefAttackers(const Position& pos, uint32_t side) {
    std::vector<uint32_t> attackers;
    uint32_t king = 0, other = 0;
    for (uint32_t s = 0; s < BoardSquares; s++) {
        if (pos.Board[s] == SideBase(side)) king = s;
        if (pos.Board[s] == SideBase(side ^ 1)) other = s;
    }
    if (!king) return attackers;
    for (uint32_t s = 0; s < BoardSquares; s++) {
        const uint32_t p = pos.Board[s];
        if (!p || SideOfPiece(p) == side) continue;
        if (p == SideBase(side ^ 1)) {
            if (FileOf(king) == FileOf(other) &&
                PiecesBetween(pos, FileOf(king), RowOf(king), FileOf(other), RowOf(other)) == 0)
                attackers.push_back(s);
        } else if (RefCanMove(pos, s, king)) {
            attackers.push_back(s);
        }
    }
    return attackers;
}

void RefPlay(const Position& pos, uint32_t from, uint32_t to, Position& out) {
    std::copy(std::begin(pos.Board), std::end(pos.Board), std::begin(out.Board));
    PlayOnBoard(out, from, to);
    out.SideToMove = pos.SideToMove ^ 1;
}

bool FitsPiecePattern(const Position& pos, uint32_t from, uint32_t to) {
    const uint32_t piece = pos.Board[from];
    if (!piece || from == to) return false;
    const int f1 = FileOf(from), r1 = RowOf(from), f2 = FileOf(to), r2 = RowOf(to);
    if (!OnBoard(f1, r1) || !OnBoard(f2, r2)) return false;
    const int adf = std::abs(f2 - f1), adr = std::abs(r2 - r1);
    switch (OffsetOfPiece(piece)) {
        case 0:
            return adf + adr == 1;
        case 1:
        case 2:
            return adf == 1 && adr == 1;
        case 3:
        case 4:
            return adf == 2 && adr == 2;
        case 5:
        case 6:
            return (adf == 1 && adr == 2) || (adf == 2 && adr == 1);
        case 7:
        case 8:
        case 9:
        case 10:
            return adf == 0 || adr == 0;
        default:
            return (adf == 0 && r2 - r1 == (SideOfPiece(piece) == Red ? -1 : 1)) ||
                   (adr == 0 && adf == 1);
    }
}

bool RefCanStandOn(char letter, int file, int row) {
    static const char Letters[] = "KABNRCPkabnrcp";
    static const uint32_t Offsets[] = {0, 1, 3, 5, 7, 9, 11};
    // reached[letter][square], filled on the first call
    static std::vector<std::vector<bool>> reached;
    if (reached.empty()) {
        std::unique_ptr<Position> board(new Position{});
        for (int l = 0; l < 14; l++) {
            const uint32_t piece = SideBase(l < 7 ? Red : Black) + Offsets[l % 7];
            std::vector<bool> seen(BoardSquares, false);
            std::vector<uint32_t> open;
            // The start squares, read from the start position's text.
            int f = 0, r = 0;
            for (const char* c = StartFen; *c && *c != ' '; c++) {
                if (*c == '/') {
                    r++;
                    f = 0;
                } else if (*c >= '1' && *c <= '9') {
                    f += *c - '0';
                } else {
                    if (*c == Letters[l]) open.push_back(At(f, r));
                    f++;
                }
            }
            for (uint32_t s : open) seen[s] = true;
            while (!open.empty()) {
                const uint32_t from = open.back();
                open.pop_back();
                board->Board[from] = uint8_t(piece);
                for (uint32_t to = 0; to < BoardSquares; to++) {
                    if (seen[to] || !RefCanMove(*board, from, to)) continue;
                    seen[to] = true;
                    open.push_back(to);
                }
                board->Board[from] = 0;
            }
            reached.push_back(seen);
        }
    }
    const char* l = std::strchr(Letters, letter);
    if (!letter || !l || !OnBoard(file, row)) return false;
    return reached[size_t(l - Letters)][At(file, row)];
}

bool LoadRandomPlacement(Position& pos, std::mt19937& rng, double density) {
    static const char Letters[] = "KAABBNNRRCCPPPPPkaabbnnrrccppppp";
    char board[10][9] = {};
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    for (const char* c = Letters; *c; c++) {
        if (chance(rng) >= density) continue;
        // Other pieces may have taken every square this one can have.
        for (int tries = 0; tries < 1000; tries++) {
            const int square = int(rng() % 90);
            char& cell = board[square / 9][square % 9];
            if (cell || !RefCanStandOn(*c, square % 9, square / 9)) continue;
            cell = *c;
            break;
        }
    }
    std::string fen;
    for (int row = 0; row < 10; row++) {
        int empty = 0;
        for (int file = 0; file < 9; file++) {
            if (!board[row][file]) {
                empty++;
                continue;
            }
            if (empty) fen += char('0' + empty);
            empty = 0;
            fen += board[row][file];
        }
        if (empty) fen += char('0' + empty);
        if (row < 9) fen += '/';
    }
    fen += rng() % 2 ? " w" : " b";
    return LoadFen(fen.c_str(), pos);
}
