// Making and unmaking moves with incremental keys, sums and occupancy bits;
// the attack test that fills the checkers mask; repetition detection.

#include "position/position.h"

namespace {

inline int32_t& ValueOf(Position& pos, uint32_t piece) {
    return IsRedPiece(piece) ? pos.RedValue : pos.BlackValue;
}

// The checkers mask of `side`'s king, looking only the given ways; the side
// is a template argument so that each side's piece numbers are constants.
template <uint32_t side>
uint32_t AttackersBy(const Position& pos, uint32_t ways) {
    const uint32_t king = pos.PieceSquare[SideBase(side)];
    if (king == 0) return 0;
    const uint32_t kr = RowOfSquare[king], kf = FileOfSquare[king];
    const uint32_t them = SideBase(side ^ 1);
    // The attacker's bits: red attackers use bits 0..11, black ones 12..23.
    const uint32_t bitBase = side == Red ? 12 : 0;
    const auto isTheirPawn = [&](uint32_t p) { return p >= them + PawnOffset && p <= them + 15; };
    const auto pawnBit = [&](uint32_t p) { return 1u << (bitBase + 1 + (p - them - PawnOffset)); };
    uint32_t mask = 0;

    if (ways & AlongFile) {
        const uint32_t occ = pos.FileBits[kf];
        for (uint32_t i = 0; i < 2; i++) {
            const uint32_t r = pos.PieceSquare[them + RookOffset + i];
            if (r && uint32_t(FileOfSquare[r]) == kf &&
                (FileRookCaptureMask[kr][occ] & RowBit(RowOfSquare[r])))
                mask |= 1u << (bitBase + 10 + i);
            const uint32_t c = pos.PieceSquare[them + CannonOffset + i];
            if (c && uint32_t(FileOfSquare[c]) == kf &&
                (FileCannonCaptureMask[kr][occ] & RowBit(RowOfSquare[c])))
                mask |= 1u << (bitBase + 8 + i);
        }
        const uint32_t facing = FileFirstPiece[kr][occ][side == Red ? 0 : 1];
        if (facing && pos.Board[SquareAt(kf, facing - 1)] == them) mask |= 1u << bitBase;
        const uint32_t front = pos.Board[side == Red ? king - 13 : king + 13];
        if (isTheirPawn(front)) mask |= pawnBit(front);
    }
    if (ways & AlongRow) {
        const uint32_t occ = pos.RowBits[kr];
        for (uint32_t i = 0; i < 2; i++) {
            const uint32_t r = pos.PieceSquare[them + RookOffset + i];
            if (r && uint32_t(RowOfSquare[r]) == kr &&
                (RowRookCaptureMask[kf][occ] & FileBit(FileOfSquare[r])))
                mask |= 1u << (bitBase + 10 + i);
            const uint32_t c = pos.PieceSquare[them + CannonOffset + i];
            if (c && uint32_t(RowOfSquare[c]) == kr &&
                (RowCannonCaptureMask[kf][occ] & FileBit(FileOfSquare[c])))
                mask |= 1u << (bitBase + 8 + i);
        }
        // A pawn beside a king in its palace has always crossed the river.
        const uint32_t left = pos.Board[king - 1], right = pos.Board[king + 1];
        if (isTheirPawn(left)) mask |= pawnBit(left);
        if (isTheirPawn(right)) mask |= pawnBit(right);
    }
    if (ways & ByKnight) {
        for (uint32_t i = 0; i < 2; i++) {
            const uint32_t s = pos.PieceSquare[them + KnightOffset + i];
            if (!s) continue;
            const int32_t d = int32_t(king) - int32_t(s);
            if (d >= -27 && d <= 27 && KnightDeltaOk[d] && pos.Board[s + KnightLegOffset[d]] == 0)
                mask |= 1u << (bitBase + 6 + i);
        }
    }
    return mask;
}

uint32_t AttackersBy(const Position& pos, uint32_t side, uint32_t ways) {
    return side == Red ? AttackersBy<Red>(pos, ways) : AttackersBy<Black>(pos, ways);
}

// The ways of attacking a king that a move from -> to can open: a square
// emptied or filled on the king's file or row, or an emptied square diagonal
// to it, where the legs of the knights that reach it stand.
inline uint32_t WaysTouched(uint32_t king, uint32_t from, uint32_t to) {
    const uint32_t slot = PalaceSlot[king];
    if (slot != 255) return KingWaysFrom[slot][from] | KingWaysTo[slot][to];
    // A king off its palace: only a loaded position can have one.
    const int32_t kf = FileOfSquare[king], kr = RowOfSquare[king];
    const int32_t d = int32_t(from) - int32_t(king);
    uint32_t ways = 0;
    if (FileOfSquare[from] == kf || FileOfSquare[to] == kf) ways |= AlongFile;
    if (RowOfSquare[from] == kr || RowOfSquare[to] == kr) ways |= AlongRow;
    if (d == 12 || d == 14 || d == -12 || d == -14) ways |= ByKnight;
    return ways;
}

// The full test of one king, filling the checkers mask.
inline bool KingAttacked(Position& pos, uint32_t side) {
    if (pos.PieceSquare[SideBase(side)] == 0) return false;
    const uint32_t mask = AttackersBy(pos, side, AnyAttack);
    pos.CheckersStack[pos.MoveCount] = mask;
    return mask != 0;
}

// The side to move of a copy of MakeMove made for both sides.
constexpr int EitherSide = -1;

// After a move that MakeMove made, the mover's king is not attacked (MakeMove
// refuses the move otherwise) and givesCheck tells whether the other king is.
// From there a move can attack a king only in the ways it touches (a knight
// landing anywhere counts as touching the knights' way), so both tests below
// look only those ways. After a load or a null move (a record with no from
// square) both kings are tested in full.
//
// One copy serves both sides (EitherSide), or one copy is made per side, so
// that the attack tests' sides are constants.
template <int sideToMove>
bool MakeMoveAs(MoveRecord& record, Position& pos) {
    const uint32_t from = record.from, to = record.to;
    const uint32_t us = sideToMove == EitherSide ? pos.SideToMove : uint32_t(sideToMove);
    const uint32_t them = us ^ 1;
    QUILLON_ASSERT(pos.MoveCount + 1 < CheckersStackSize);
    const MoveRecord& last = pos.MoveStack[pos.MoveCount];
    const uint32_t mover = pos.Board[from];
    const uint32_t victim = pos.Board[to];
    // A corrupt move (hash collision) may name no piece of ours: test in full.
    const bool settled = last.from != 0 && (mover & (16u << us)) != 0;
    const bool wasInCheck = last.givesCheck != 0;

    // The mover leaves `from`; on `to` it replaces the victim, whose square
    // stays occupied.
    const uint32_t kind = PieceKind[mover];
    const int32_t sumsBefore = PackSums(pos);
    uint64_t key = pos.KeyStack[pos.MoveCount] ^ ZobristSide ^ ZobristPiece[kind][from] ^
                   ZobristPiece[kind][to];
    ValueOf(pos, mover) += PieceSquareValue[kind][to] - PieceSquareValue[kind][from];
    pos.Board[from] = 0;
    ClearOccupied(pos, from);
    if (victim) {
        const uint32_t victimKind = PieceKind[victim];
        pos.PieceSquare[victim] = 0;
        ValueOf(pos, victim) -= PieceSquareValue[victimKind][to];
        key ^= ZobristPiece[victimKind][to];
    } else {
        SetOccupied(pos, to);
    }
    pos.Board[to] = mover;
    pos.PieceSquare[mover] = to;
    // The stack's copy is written field by field (its check flag further
    // down): writing the byte into `record` and copying the record at once
    // would stall the load, and packing the bytes into one word costs more.
    MoveRecord& stacked = pos.MoveStack[pos.MoveCount + 1];
    stacked.from = uint8_t(from);
    stacked.to = uint8_t(to);
    stacked.captured = uint8_t(victim);
    stacked.score = sumsBefore;
    record.captured = uint8_t(victim);
    pos.SideToMove ^= 1;
    pos.KeyStack[pos.MoveCount + 1] = key;
    pos.MoveCount++;
    pos.Ply++;

    const uint32_t ourKing = pos.PieceSquare[SideBase(us)];
    bool exposed;
    if (!settled || wasInCheck || mover == SideBase(us)) {
        exposed = KingAttacked(pos, us);
    } else {
        const uint32_t ways = ourKing ? WaysTouched(ourKing, from, to) : 0;
        exposed = ways && AttackersBy(pos, us, ways) != 0;
    }
    if (exposed) {
        UnmakeMove(pos);
        return false;
    }
    const uint32_t theirKing = pos.PieceSquare[SideBase(them)];
    bool check;
    if (!settled || theirKing == 0) {
        check = KingAttacked(pos, them);
    } else {
        const uint32_t knight = OffsetOfPiece(mover) - KnightOffset < 2 ? ByKnight : 0;
        const uint32_t ways = WaysTouched(theirKing, from, to) | knight;
        const uint32_t mask = ways ? AttackersBy(pos, them, ways) : 0;
        pos.CheckersStack[pos.MoveCount] = mask;
        check = mask != 0;
    }
    pos.MoveStack[pos.MoveCount].givesCheck = check;
    QUILLON_ASSERT_INCREMENTAL(pos);
    return true;
}

}  // namespace

// The searches use the one copy: their hot code fills the instruction cache,
// and two copies cost more in misses than their constants save.
bool MakeMove(MoveRecord& record, Position& pos) {
    return MakeMoveAs<EitherSide>(record, pos);
}

bool MakeMoveBySide(MoveRecord& record, Position& pos) {
    return pos.SideToMove == Red ? MakeMoveAs<int(Red)>(record, pos)
                                 : MakeMoveAs<int(Black)>(record, pos);
}

void MakeNullMove(Position& pos) {
    QUILLON_ASSERT(pos.MoveCount + 1 < CheckersStackSize);
    pos.SideToMove ^= 1;
    pos.MoveStack[pos.MoveCount + 1] = MoveRecord{0, 0, 0, 0, 0};
    pos.KeyStack[pos.MoveCount + 1] = pos.KeyStack[pos.MoveCount] ^ ZobristSide;
    pos.MoveCount++;
    pos.Ply++;
    QUILLON_ASSERT_INCREMENTAL(pos);
}

void UnmakeNullMove(Position& pos) {
    pos.MoveCount--;
    pos.Ply--;
    pos.SideToMove ^= 1;
    QUILLON_ASSERT_INCREMENTAL(pos);
}

uint32_t AttackersOfKing(const Position& pos, uint32_t side) {
    return AttackersBy(pos, side, AnyAttack);
}

bool InCheck(Position& pos, uint32_t side) {
    return KingAttacked(pos, side);
}

uint32_t LiftOnto(Position& pos, uint32_t from, uint32_t to) {
    const uint32_t mover = pos.Board[from], victim = pos.Board[to];
    pos.Board[from] = 0;
    ClearOccupied(pos, from);
    // A lifted piece leaves its slot empty, so it cannot attack.
    if (victim) pos.PieceSquare[victim] = 0;
    pos.Board[to] = mover;
    pos.PieceSquare[mover] = to;
    SetOccupied(pos, to);
    return victim;
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
