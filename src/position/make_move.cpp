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

bool MakeMove(MoveRecord& record, Position& pos) {
    const uint32_t from = record.from, to = record.to;
    uint64_t key = pos.KeyStack[pos.MoveCount];
    const uint32_t mover = pos.Board[from];
    const uint32_t victim = pos.Board[to];

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

    if (InCheck(pos, pos.SideToMove ^ 1)) {
        UnmakeMove(pos);
        return false;
    }
    pos.MoveStack[pos.MoveCount].givesCheck = InCheck(pos, pos.SideToMove);
    return true;
}

void UnmakeMove(Position& pos) {
    const MoveRecord& r = pos.MoveStack[pos.MoveCount];
    // The key before the move is still in KeyStack below; this copy is scratch.
    uint64_t key = pos.KeyStack[pos.MoveCount];
    const uint32_t mover = pos.Board[r.to];
    TakePiece(pos, r.to, key);
    if (r.captured) PutPiece(pos, r.captured, r.to, key);
    PutPiece(pos, mover, r.from, key);
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
