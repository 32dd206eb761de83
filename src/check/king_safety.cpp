// The in-place test behind every evasion: play a move on the board and the
// occupancy words only, look for an attacker of the mover's king, put the
// pieces back. Keys, values and stacks are never touched.

#include <initializer_list>

#include "check/check.h"

namespace {

// Whether the side to move's king is attacked on the board as it stands.
bool SideToMoveKingAttacked(const Position& pos) {
    const uint32_t side = pos.SideToMove;
    const uint32_t king = pos.PieceSquare[SideBase(side)];
    if (king == 0) return false;
    const uint32_t them = SideBase(side ^ 1);
    const uint32_t kf = FileOfSquare[king], kr = RowOfSquare[king];
    const uint32_t fileOcc = pos.FileBits[kf], rowOcc = pos.RowBits[kr];

    for (uint32_t p = them + RookOffset; p < them + RookOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        if (uint32_t(FileOfSquare[s]) == kf) {
            if (FileRookCaptureMask[kr][fileOcc] & RowBit(RowOfSquare[s])) return true;
        } else if (uint32_t(RowOfSquare[s]) == kr) {
            if (RowRookCaptureMask[kf][rowOcc] & FileBit(FileOfSquare[s])) return true;
        }
    }
    for (uint32_t p = them + CannonOffset; p < them + CannonOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        if (uint32_t(FileOfSquare[s]) == kf) {
            if (FileCannonCaptureMask[kr][fileOcc] & RowBit(RowOfSquare[s])) return true;
        } else if (uint32_t(RowOfSquare[s]) == kr) {
            if (RowCannonCaptureMask[kf][rowOcc] & FileBit(FileOfSquare[s])) return true;
        }
    }
    for (uint32_t p = them + KnightOffset; p < them + KnightOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        const int32_t d = int32_t(king) - int32_t(s);
        if (d >= -27 && d <= 27 && KnightDeltaOk[d] && pos.Board[s + KnightLegOffset[d]] == 0)
            return true;
    }
    const uint32_t facing = FileFirstPiece[kr][fileOcc][side == Red ? 0 : 1];
    if (facing && pos.Board[SquareAt(kf, facing - 1)] == them) return true;

    const uint32_t front = side == Red ? king - 13 : king + 13;
    for (const uint32_t s : {king - 1, king + 1, front}) {
        const uint32_t p = pos.Board[s];
        if (p >= them + PawnOffset && p <= them + 15) return true;
    }
    return false;
}

inline void SetOccupied(Position& pos, uint32_t square) {
    pos.FileBits[FileOfSquare[square]] |= uint16_t(RowBit(RowOfSquare[square]));
    pos.RowBits[RowOfSquare[square]] |= uint16_t(FileBit(FileOfSquare[square]));
}

inline void SetEmpty(Position& pos, uint32_t square) {
    pos.FileBits[FileOfSquare[square]] &= uint16_t(~RowBit(RowOfSquare[square]));
    pos.RowBits[RowOfSquare[square]] &= uint16_t(~FileBit(FileOfSquare[square]));
}

}  // namespace

bool LeavesKingAttacked(Position& pos, uint32_t from, uint32_t to) {
    const uint32_t mover = pos.Board[from], victim = pos.Board[to];

    pos.Board[from] = 0;
    SetEmpty(pos, from);
    // A captured piece leaves its slot empty, so it cannot attack.
    if (victim)
        pos.PieceSquare[victim] = 0;
    else
        SetOccupied(pos, to);
    pos.Board[to] = mover;
    pos.PieceSquare[mover] = to;

    const bool attacked = SideToMoveKingAttacked(pos);

    pos.Board[to] = victim;
    if (victim)
        pos.PieceSquare[victim] = to;
    else
        SetEmpty(pos, to);
    pos.Board[from] = mover;
    pos.PieceSquare[mover] = from;
    SetOccupied(pos, from);
    return attacked;
}
