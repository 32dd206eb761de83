// Pseudo-legal move generation in two batches, captures and non-captures,
// walking the side's piece slots in the order king, advisors, bishops,
// knights, rooks, cannons, pawns. MakeMove settles legality.

#include "position/position.h"

namespace {

inline void Emit(MoveRecord* list, int& n, uint32_t from, uint32_t to, uint32_t captured) {
    list[n++] = RecordOf(from, to, captured, 0, 0);
}

// Pieces of the side to move carry bit 16 << side, the opponent's 32 >> side.
constexpr uint32_t EnemyBit(uint32_t side) {
    return 32u >> side;
}
constexpr uint32_t OwnBit(uint32_t side) {
    return 16u << side;
}

// The line table entry of a slider along its file and row, both directions.
// An entry of 0 (no piece met) lands on the empty margin just before row 0 or
// file 0, which the callers' test for an enemy piece turns away.
template <typename FileTable, typename RowTable>
inline void LineTargets(const Position& pos, uint32_t s, const FileTable& fileTable,
                        const RowTable& rowTable, uint32_t out[4]) {
    const uint32_t row = RowOfSquare[s], file = FileOfSquare[s];
    const uint32_t fileOcc = pos.FileBits[file], rowOcc = pos.RowBits[row];
    for (int dir = 0; dir < 2; dir++)
        out[dir] = s + 13 * fileTable[row][fileOcc][dir] - 13 * (row + 1);
    for (int dir = 0; dir < 2; dir++) out[2 + dir] = s + rowTable[file][rowOcc][dir] - (file + 1);
}

// A side's palace as an occupancy word: bit 3 * (row - first row) + 5 - file.
// A king or advisor anywhere else (only a loaded position can put one there)
// reads as StrayGuard, 0 stands for no piece.
constexpr uint32_t StrayGuard = 1u << 9;
struct PalaceBits {
    uint16_t bit[2][BoardSquares];
    constexpr PalaceBits() : bit() {
        for (uint32_t side = 0; side < 2; side++) {
            const uint32_t firstRow = side == Red ? 7 : 0;
            for (uint32_t row = 0; row < 10; row++)
                for (uint32_t file = 0; file < 9; file++) {
                    const bool inPalace = row - firstRow < 3 && file - 3 < 3;
                    bit[side][SquareAt(file, row)] =
                        uint16_t(inPalace ? 1u << (3 * (row - firstRow) + 5 - file) : StrayGuard);
                }
        }
    }
};
constexpr PalaceBits PalaceBit;

// Whether the side's king and advisors may have something to take: anything
// else stands in their palace, or one of them stands outside it.
template <uint32_t side>
inline bool GuardsMayCapture(const Position& pos) {
    constexpr uint32_t firstRow = side == Red ? 7 : 0;
    constexpr uint32_t palaceFiles = FileBit(3) | FileBit(4) | FileBit(5);
    static_assert(palaceFiles == 0x38, "files 3 to 5 are bits 5 to 3");
    const uint32_t occupied = ((pos.RowBits[firstRow] & palaceFiles) >> 3) |
                              (pos.RowBits[firstRow + 1] & palaceFiles) |
                              ((pos.RowBits[firstRow + 2] & palaceFiles) << 3);
    constexpr uint32_t base = SideBase(side);
    const uint32_t guards = PalaceBit.bit[side][pos.PieceSquare[base + KingOffset]] |
                            PalaceBit.bit[side][pos.PieceSquare[base + AdvisorOffset]] |
                            PalaceBit.bit[side][pos.PieceSquare[base + AdvisorOffset + 1]];
    return ((occupied & ~guards) | (guards & StrayGuard)) != 0;
}

// The seven points a side's bishops can reach, and which squares they are
// (square 0, no bishop, counts as one).
struct BishopPointTable {
    uint8_t square[2][7];
    bool isPoint[2][BoardSquares];
    constexpr BishopPointTable() : square(), isPoint() {
        constexpr uint32_t files[7] = {2, 6, 0, 4, 8, 2, 6};
        constexpr uint32_t rowsFromBack[7] = {0, 0, 2, 2, 2, 4, 4};
        for (uint32_t side = 0; side < 2; side++) {
            for (int i = 0; i < 7; i++) {
                const uint32_t row = side == Red ? 9 - rowsFromBack[i] : rowsFromBack[i];
                square[side][i] = uint8_t(SquareAt(files[i], row));
                isPoint[side][square[side][i]] = true;
            }
            isPoint[side][0] = true;
        }
    }
};
constexpr BishopPointTable BishopPoints;

// Whether the side's bishops may have something to take: an enemy piece
// stands on one of their points, or a bishop stands off them.
template <uint32_t side>
inline bool BishopsMayCapture(const Position& pos) {
    constexpr uint32_t base = SideBase(side);
    if (!BishopPoints.isPoint[side][pos.PieceSquare[base + BishopOffset]] ||
        !BishopPoints.isPoint[side][pos.PieceSquare[base + BishopOffset + 1]])
        return true;
    // Own and enemy pieces carry different colour bits, so one OR of the
    // seven squares shows whether any enemy stands there.
    constexpr const uint8_t* points = BishopPoints.square[side];
    const uint32_t pieces = pos.Board[points[0]] | pos.Board[points[1]] | pos.Board[points[2]] |
                            pos.Board[points[3]] | pos.Board[points[4]] | pos.Board[points[5]] |
                            pos.Board[points[6]];
    return (pieces & EnemyBit(side)) != 0;
}

// One copy per side, so that piece numbers and colour bits are constants.
template <uint32_t side>
int CapturesOf(const Position& pos, MoveRecord* list) {
    constexpr uint32_t base = SideBase(side), enemy = EnemyBit(side);
    int n = 0;
    auto emit = [&](uint32_t from, uint32_t to) { Emit(list, n, from, to, pos.Board[to]); };
    auto stepCaptures = [&](uint32_t s, const uint8_t* targets) {
        for (; *targets; targets++)
            if (pos.Board[*targets] & enemy) emit(s, *targets);
    };

    if (GuardsMayCapture<side>(pos)) {
        if (const uint32_t s = pos.PieceSquare[base + KingOffset]) stepCaptures(s, KingMoves[s]);
        for (uint32_t p = base + AdvisorOffset; p < base + AdvisorOffset + 2; p++)
            if (const uint32_t s = pos.PieceSquare[p]) stepCaptures(s, AdvisorMoves[s]);
    }
    if (BishopsMayCapture<side>(pos)) {
        for (uint32_t p = base + BishopOffset; p < base + BishopOffset + 2; p++) {
            const uint32_t s = pos.PieceSquare[p];
            if (!s) continue;
            for (const uint8_t* t = BishopMoves[s]; *t; t++)
                if ((pos.Board[*t] & enemy) && pos.Board[(s + *t) / 2] == 0) emit(s, *t);
        }
    }
    // The knights' and pawns' slots stay loops: unrolled as well, the walk
    // would crowd the instruction cache for a few instructions less.
#pragma GCC unroll 1
    for (uint32_t p = base + KnightOffset; p < base + KnightOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        // A jump (or below, a pawn's step) off the board lands on the empty
        // margin, so the steps need no list of the squares on the board.
        const uint8_t* at = &pos.Board[s];
        for (int i = 0; i < 8; i++)
            if ((at[KnightSteps[i]] & enemy) && at[KnightStepLegs[i]] == 0)
                emit(s, s + KnightSteps[i]);
    }
    for (uint32_t p = base + RookOffset; p < base + RookOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        uint32_t targets[4];
        LineTargets(pos, s, FileFirstPiece, RowFirstPiece, targets);
        for (uint32_t t : targets)
            if (pos.Board[t] & enemy) emit(s, t);
    }
    for (uint32_t p = base + CannonOffset; p < base + CannonOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        uint32_t targets[4];
        LineTargets(pos, s, FileSecondPiece, RowSecondPiece, targets);
        for (uint32_t t : targets)
            if (pos.Board[t] & enemy) emit(s, t);
    }
#pragma GCC unroll 1
    for (uint32_t p = base + PawnOffset; p < base + 16; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        // Forward, then (across the river) right and left.
        constexpr int32_t forward = side == Red ? -13 : 13;
        const uint8_t* at = &pos.Board[s];
        if (at[forward] & enemy) emit(s, s + forward);
        if (HasCrossedRiver(side, s)) {
            if (at[1] & enemy) emit(s, s + 1);
            if (at[-1] & enemy) emit(s, s - 1);
        }
    }
    return n;
}

}  // namespace

int GenerateCaptures(const Position& pos, MoveRecord* list) {
    return pos.SideToMove == Red ? CapturesOf<Red>(pos, list) : CapturesOf<Black>(pos, list);
}

int GenerateNonCaptures(const Position& pos, MoveRecord* list) {
    const uint32_t side = pos.SideToMove, base = SideBase(side);
    int n = 0;
    auto stepMoves = [&](uint32_t s, const uint8_t* targets) {
        for (; *targets; targets++)
            if (pos.Board[*targets] == 0) Emit(list, n, s, *targets, 0);
    };
    // Slides come farthest first, the square next to the piece last.
    auto slides = [&](uint32_t s) {
        const uint32_t row = RowOfSquare[s], file = FileOfSquare[s];
        const uint32_t fileOcc = pos.FileBits[file], rowOcc = pos.RowBits[row];
        for (int dir = 0; dir < 2; dir++) {
            const uint32_t v = FileSlideEnd[row][fileOcc][dir];
            if (!v) continue;
            for (int32_t k = int32_t(v - 1) - int32_t(row); k != 0; k += k > 0 ? -1 : 1)
                Emit(list, n, s, uint32_t(int32_t(s) + 13 * k), 0);
        }
        for (int dir = 0; dir < 2; dir++) {
            const uint32_t v = RowSlideEnd[file][rowOcc][dir];
            if (!v) continue;
            for (int32_t k = int32_t(v - 1) - int32_t(file); k != 0; k += k > 0 ? -1 : 1)
                Emit(list, n, s, uint32_t(int32_t(s) + k), 0);
        }
    };

    if (const uint32_t s = pos.PieceSquare[base + KingOffset]) stepMoves(s, KingMoves[s]);
    for (uint32_t p = base + AdvisorOffset; p < base + AdvisorOffset + 2; p++)
        if (const uint32_t s = pos.PieceSquare[p]) stepMoves(s, AdvisorMoves[s]);
    for (uint32_t p = base + BishopOffset; p < base + BishopOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        for (const uint8_t* t = BishopMoves[s]; *t; t++)
            if (pos.Board[*t] == 0 && pos.Board[(s + *t) / 2] == 0) Emit(list, n, s, *t, 0);
    }
    for (uint32_t p = base + KnightOffset; p < base + KnightOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        for (const uint8_t* t = KnightMoves[s]; *t; t++)
            if (pos.Board[*t] == 0 && pos.Board[s + KnightLegOffset[int32_t(*t - s)]] == 0)
                Emit(list, n, s, *t, 0);
    }
    for (uint32_t p = base + RookOffset; p < base + CannonOffset + 2; p++)
        if (const uint32_t s = pos.PieceSquare[p]) slides(s);
    for (uint32_t p = base + PawnOffset; p < base + 16; p++)
        if (const uint32_t s = pos.PieceSquare[p]) stepMoves(s, PawnMoves[s][side]);
    return n;
}

int GenerateAll(const Position& pos, MoveRecord* list) {
    const int captures = GenerateCaptures(pos, list);
    return captures + GenerateNonCaptures(pos, list + captures);
}

bool IsPseudoLegal(const Position& pos, const MoveRecord& record) {
    const uint32_t from = record.from, to = record.to;
    if (from >= BoardSquares || to >= BoardSquares || !SquareOnBoard[to]) return false;
    const uint32_t piece = pos.Board[from];
    const uint32_t side = pos.SideToMove;
    if (piece == 0 || !(piece & OwnBit(side))) return false;
    if (pos.Board[to] & OwnBit(side)) return false;
    const int32_t d = int32_t(to) - int32_t(from);

    switch (OffsetOfPiece(piece)) {
        case KingOffset:
            return SquareInPalace[to] && d >= -13 && d <= 13 && KingDeltaOk[d];
        case AdvisorOffset:
        case AdvisorOffset + 1:
            return SquareInPalace[to] && d >= -14 && d <= 14 && AdvisorDeltaOk[d];
        case BishopOffset:
        case BishopOffset + 1:
            if ((SquareInBlackHalf[to] != 0) != (side == Black)) return false;
            return d >= -28 && d <= 28 && BishopDeltaOk[d] && pos.Board[(from + to) / 2] == 0;
        case KnightOffset:
        case KnightOffset + 1:
            return d >= -27 && d <= 27 && KnightDeltaOk[d] &&
                   pos.Board[from + KnightLegOffset[d]] == 0;
        case RookOffset:
        case RookOffset + 1:
        case CannonOffset:
        case CannonOffset + 1: {
            const bool rook = OffsetOfPiece(piece) < CannonOffset;
            const uint32_t row = RowOfSquare[from], file = FileOfSquare[from];
            if ((uint32_t)FileOfSquare[to] == file && to != from) {
                const uint32_t occ = pos.FileBits[file];
                const uint32_t reach =
                    (rook ? FileRookCaptureMask[row][occ] : FileCannonCaptureMask[row][occ]);
                const uint32_t bit = RowBit(RowOfSquare[to]);
                // An empty target must be a slide square, an occupied one the
                // nearest piece (rook) or the one behind the screen (cannon).
                return pos.Board[to] ? (reach & bit) != 0 : (FileEmptyMask[row][occ] & bit) != 0;
            }
            if ((uint32_t)RowOfSquare[to] == row && to != from) {
                const uint32_t occ = pos.RowBits[row];
                const uint32_t reach =
                    (rook ? RowRookCaptureMask[file][occ] : RowCannonCaptureMask[file][occ]);
                const uint32_t bit = FileBit(FileOfSquare[to]);
                return pos.Board[to] ? (reach & bit) != 0 : (RowEmptyMask[file][occ] & bit) != 0;
            }
            return false;
        }
        default:  // pawns
            if (side == Red) {
                if (!SquareInBlackHalf[from]) return d == -13;
                return d >= -13 && d <= 1 && RedPawnDeltaOk[d];
            }
            if (SquareInBlackHalf[from]) return d == 13;
            return d >= -1 && d <= 13 && BlackPawnDeltaOk[d];
    }
}
