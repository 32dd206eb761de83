// Pseudo-legal move generation in two batches, captures and non-captures,
// walking the side's piece slots in the order king, advisors, bishops,
// knights, rooks, cannons, pawns. MakeMove settles legality.

#include "position/capture_walk.h"
#include "position/position.h"

namespace {

inline void Emit(MoveRecord* list, int& n, uint32_t from, uint32_t to, uint32_t captured) {
    list[n++] = RecordOf(from, to, captured, 0, 0);
}

constexpr uint32_t OwnBit(uint32_t side) {
    return 16u << side;
}

}  // namespace

int GenerateCaptures(const Position& pos, MoveRecord* list) {
    const auto unscored = [](uint32_t, uint32_t, uint32_t, uint32_t) { return 0; };
    return pos.SideToMove == Red ? WalkCaptures<Red>(pos, list, unscored)
                                 : WalkCaptures<Black>(pos, list, unscored);
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
