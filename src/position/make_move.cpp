// Making and unmaking moves with incremental keys, sums and occupancy bits;
// the attack test that fills the checkers mask; repetition detection.

#include "position/position.h"

void PutPiece(Position& pos, uint32_t piece, uint32_t square, uint64_t& key) {
    pos.Board[square] = piece;
    pos.PieceSquare[piece] = square;
    pos.FileBits[FileOfSquare[square]] |= uint16_t(RowBit(RowOfSquare[square]));
    pos.RowBits[RowOfSquare[square]] |= uint16_t(FileBit(FileOfSquare[square]));
    const uint32_t kind = PieceKind[piece];
    if (IsRedPiece(piece))
        pos.RedValue += PieceSquareValue[kind][square];
    else
        pos.BlackValue += PieceSquareValue[kind][square];
    key ^= ZobristPiece[kind][square];
}

void TakePiece(Position& pos, uint32_t square, uint64_t& key) {
    const uint32_t piece = pos.Board[square];
    pos.PieceSquare[piece] = 0;
    pos.Board[square] = 0;
    pos.FileBits[FileOfSquare[square]] &= uint16_t(~RowBit(RowOfSquare[square]));
    pos.RowBits[RowOfSquare[square]] &= uint16_t(~FileBit(FileOfSquare[square]));
    const uint32_t kind = PieceKind[piece];
    if (IsRedPiece(piece))
        pos.RedValue -= PieceSquareValue[kind][square];
    else
        pos.BlackValue -= PieceSquareValue[kind][square];
    key ^= ZobristPiece[kind][square];
}

namespace {

inline void SetOccupied(Position& pos, uint32_t square) {
    pos.FileBits[FileOfSquare[square]] |= uint16_t(RowBit(RowOfSquare[square]));
    pos.RowBits[RowOfSquare[square]] |= uint16_t(FileBit(FileOfSquare[square]));
}
inline void ClearOccupied(Position& pos, uint32_t square) {
    pos.FileBits[FileOfSquare[square]] &= uint16_t(~RowBit(RowOfSquare[square]));
    pos.RowBits[RowOfSquare[square]] &= uint16_t(~FileBit(FileOfSquare[square]));
}
inline int32_t& ValueOf(Position& pos, uint32_t piece) {
    return IsRedPiece(piece) ? pos.RedValue : pos.BlackValue;
}

// Whether a square emptied or filled by a move can change the attackers of a
// king: it lies on the king's file or row, or is one of the four squares
// diagonal to it, where the legs of knights that reach the king stand.
inline bool NearKingLines(uint32_t king, uint32_t square) {
    const int32_t d = int32_t(square) - int32_t(king);
    return FileOfSquare[square] == FileOfSquare[king] || RowOfSquare[square] == RowOfSquare[king] ||
           d == 12 || d == 14 || d == -12 || d == -14;
}
inline bool MoveTouchesKing(uint32_t king, uint32_t from, uint32_t to) {
    return NearKingLines(king, from) || NearKingLines(king, to);
}

}  // namespace

// After a move that MakeMove made, the mover's king is not attacked (MakeMove
// refuses the move otherwise) and givesCheck tells whether the other king is.
// From there a move attacks a king only through squares on that king's lines
// or diagonal to it, or by a knight landing next to it; both tests below skip
// the full attack test when the move touches none of these. After a load or a
// null move (a record with no from square) both are tested in full.
bool MakeMove(MoveRecord& record, Position& pos) {
    const uint32_t from = record.from, to = record.to;
    const uint32_t us = pos.SideToMove, them = us ^ 1;
    const MoveRecord& last = pos.MoveStack[pos.MoveCount];
    uint64_t key = pos.KeyStack[pos.MoveCount];
    const uint32_t mover = pos.Board[from];
    const uint32_t victim = pos.Board[to];
    // A corrupt move (hash collision) may name no piece of ours: test in full.
    const bool settled = last.from != 0 && (mover & (16u << us)) != 0;
    const bool wasInCheck = last.givesCheck != 0;

    TakePiece(pos, from, key);
    record.captured = victim;
    if (victim) TakePiece(pos, to, key);
    PutPiece(pos, mover, to, key);
    key ^= ZobristSide;

    pos.MoveStack[pos.MoveCount + 1] = record;
    pos.SideToMove ^= 1;
    pos.KeyStack[pos.MoveCount + 1] = key;
    pos.MoveCount++;
    pos.Ply++;

    const uint32_t ourKing = pos.PieceSquare[SideBase(us)];
    const bool testOurs = !settled || wasInCheck || mover == SideBase(us) ||
                          (ourKing != 0 && MoveTouchesKing(ourKing, from, to));
    if (testOurs && InCheck(pos, us)) {
        UnmakeMove(pos);
        return false;
    }
    const uint32_t theirKing = pos.PieceSquare[SideBase(them)];
    bool check;
    if (!settled || theirKing == 0 || MoveTouchesKing(theirKing, from, to)) {
        check = InCheck(pos, them);
    } else {
        // Only a knight can give check from off the king's lines.
        uint32_t mask = 0;
        const int32_t d = int32_t(theirKing) - int32_t(to);
        if (OffsetOfPiece(mover) - KnightOffset < 2 && d >= -27 && d <= 27 && KnightDeltaOk[d] &&
            pos.Board[to + KnightLegOffset[d]] == 0)
            mask = 1u << ((us == Red ? 0 : 12) + 6 + OffsetOfPiece(mover) - KnightOffset);
        pos.CheckersStack[pos.MoveCount] = mask;
        check = mask != 0;
    }
    pos.MoveStack[pos.MoveCount].givesCheck = check;
    return true;
}

// Keys live in KeyStack, so unmaking touches only the board, the occupancy
// words and the sums.
void UnmakeMove(Position& pos) {
    const MoveRecord& r = pos.MoveStack[pos.MoveCount];
    const uint32_t from = r.from, to = r.to, captured = r.captured;
    const uint32_t mover = pos.Board[to];
    const uint32_t kind = PieceKind[mover];
    ValueOf(pos, mover) += PieceSquareValue[kind][from] - PieceSquareValue[kind][to];
    pos.Board[from] = mover;
    pos.PieceSquare[mover] = from;
    SetOccupied(pos, from);
    pos.Board[to] = captured;
    if (captured) {
        pos.PieceSquare[captured] = to;
        ValueOf(pos, captured) += PieceSquareValue[PieceKind[captured]][to];
    } else {
        ClearOccupied(pos, to);
    }
    pos.MoveCount--;
    pos.Ply--;
    pos.SideToMove ^= 1;
}

void MakeNullMove(Position& pos) {
    pos.SideToMove ^= 1;
    pos.MoveStack[pos.MoveCount + 1] = MoveRecord{0, 0, 0, 0, 0};
    pos.KeyStack[pos.MoveCount + 1] = pos.KeyStack[pos.MoveCount] ^ ZobristSide;
    pos.MoveCount++;
    pos.Ply++;
}

void UnmakeNullMove(Position& pos) {
    pos.MoveCount--;
    pos.Ply--;
    pos.SideToMove ^= 1;
}

uint32_t AttackersOfKing(const Position& pos, uint32_t side) {
    const uint32_t king = pos.PieceSquare[SideBase(side)];
    if (king == 0) return 0;
    const uint32_t kr = RowOfSquare[king], kf = FileOfSquare[king];
    const uint32_t them = SideBase(side ^ 1);
    // The attacker's bits: red attackers use bits 0..11, black ones 12..23.
    const uint32_t bitBase = side == Red ? 12 : 0;
    const uint32_t fileOcc = pos.FileBits[kf], rowOcc = pos.RowBits[kr];
    uint32_t mask = 0;

    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t s = pos.PieceSquare[them + RookOffset + i];
        if (!s) continue;
        if ((uint32_t)FileOfSquare[s] == kf) {
            if (FileRookCaptureMask[kr][fileOcc] & RowBit(RowOfSquare[s]))
                mask |= 1u << (bitBase + 10 + i);
        } else if ((uint32_t)RowOfSquare[s] == kr) {
            if (RowRookCaptureMask[kf][rowOcc] & FileBit(FileOfSquare[s]))
                mask |= 1u << (bitBase + 10 + i);
        }
    }
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t s = pos.PieceSquare[them + CannonOffset + i];
        if (!s) continue;
        if ((uint32_t)FileOfSquare[s] == kf) {
            if (FileCannonCaptureMask[kr][fileOcc] & RowBit(RowOfSquare[s]))
                mask |= 1u << (bitBase + 8 + i);
        } else if ((uint32_t)RowOfSquare[s] == kr) {
            if (RowCannonCaptureMask[kf][rowOcc] & FileBit(FileOfSquare[s]))
                mask |= 1u << (bitBase + 8 + i);
        }
    }
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t s = pos.PieceSquare[them + KnightOffset + i];
        if (!s) continue;
        const int32_t d = int32_t(king) - int32_t(s);
        if (d >= -27 && d <= 27 && KnightDeltaOk[d] && pos.Board[s + KnightLegOffset[d]] == 0)
            mask |= 1u << (bitBase + 6 + i);
    }
    // A pawn beside a king in its palace has always crossed the river.
    const uint32_t front = side == Red ? king - 13 : king + 13;
    const uint32_t pawnSquares[3] = {king - 1, king + 1, front};
    for (uint32_t sq : pawnSquares) {
        const uint32_t p = pos.Board[sq];
        if (p >= them + PawnOffset && p <= them + 15) mask |= 1u << (bitBase + 1 + (p - them - 11));
    }
    const uint32_t facing = FileFirstPiece[kr][fileOcc][side == Red ? 0 : 1];
    if (facing && pos.Board[SquareAt(kf, facing - 1)] == them) mask |= 1u << bitBase;

    return mask;
}

bool InCheck(Position& pos, uint32_t side) {
    if (pos.PieceSquare[SideBase(side)] == 0) return false;
    const uint32_t mask = AttackersOfKing(pos, side);
    pos.CheckersStack[pos.MoveCount] = mask;
    return mask != 0;
}

uint32_t LiftOnto(Position& pos, uint32_t from, uint32_t to) {
    const uint32_t mover = pos.Board[from], victim = pos.Board[to];
    pos.Board[from] = 0;
    pos.FileBits[FileOfSquare[from]] &= uint16_t(~RowBit(RowOfSquare[from]));
    pos.RowBits[RowOfSquare[from]] &= uint16_t(~FileBit(FileOfSquare[from]));
    // A lifted piece leaves its slot empty, so it cannot attack.
    if (victim) pos.PieceSquare[victim] = 0;
    pos.Board[to] = mover;
    pos.PieceSquare[mover] = to;
    pos.FileBits[FileOfSquare[to]] |= uint16_t(RowBit(RowOfSquare[to]));
    pos.RowBits[RowOfSquare[to]] |= uint16_t(FileBit(FileOfSquare[to]));
    return victim;
}

void PutBack(Position& pos, uint32_t from, uint32_t to, uint32_t victim) {
    const uint32_t mover = pos.Board[to];
    pos.Board[from] = mover;
    pos.PieceSquare[mover] = from;
    pos.FileBits[FileOfSquare[from]] |= uint16_t(RowBit(RowOfSquare[from]));
    pos.RowBits[RowOfSquare[from]] |= uint16_t(FileBit(FileOfSquare[from]));
    pos.Board[to] = victim;
    if (victim) {
        pos.PieceSquare[victim] = to;
    } else {
        pos.FileBits[FileOfSquare[to]] &= uint16_t(~RowBit(RowOfSquare[to]));
        pos.RowBits[RowOfSquare[to]] &= uint16_t(~FileBit(FileOfSquare[to]));
    }
}

int DetectRepetition(const Position& pos) {
    if (pos.MoveCount < 1) return 0;
    const uint64_t key = pos.KeyStack[pos.MoveCount];
    bool theirChecks = true, ourChecks = true;
    bool odd = false;
    for (uint32_t i = pos.MoveCount; i >= 1; i--) {
        const MoveRecord& r = pos.MoveStack[i];
        // A capture or a null move (or the loaded position) cannot be crossed.
        if (r.captured != 0 || r.from == 0) return 0;
        if (!odd) {
            theirChecks = theirChecks && r.givesCheck;
        } else {
            ourChecks = ourChecks && r.givesCheck;
            if (pos.KeyStack[i - 1] == key) {
                if (!ourChecks && !theirChecks) return 1;
                if (ourChecks && theirChecks) return 4;
                // Name the perpetual checker's colour: 3 red, 2 black.
                const bool redChecks = (pos.SideToMove == Red) == ourChecks;
                return redChecks ? 3 : 2;
            }
        }
        odd = !odd;
    }
    return 0;
}
