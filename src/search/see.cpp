// Static exchange: the whole sequence of captures on one square, played on a
// lightly updated board, each side capturing with its cheapest attacker first
// and never allowed to stop. Only Board, PieceSquare, FileBits and RowBits
// change, and all of them are put back.

#include "search/see.h"

#include "search/search.h"

namespace {

// King 22, advisor 2, bishop 2, knight 6, rook 12, cannon 6, pawn 1.
constexpr int32_t SideOrderValues[16] = {22, 2, 2, 2, 2, 6, 6, 12, 12, 6, 6, 1, 1, 1, 1, 1};
constexpr int32_t CrossedPawnBonus = 2;

enum AttackerStage : uint8_t {
    PawnAheadStage,  // only for targets on the two rows beside the river
    BishopStage,
    AdvisorStage,
    PawnStage,
    KnightStage,
    CannonStage,
    RookStage,
    KingStage,
    DoneStage,
};

bool IsPieceOf(uint32_t piece, uint32_t side, uint32_t firstOffset, uint32_t lastOffset) {
    const uint32_t base = SideBase(side);
    return piece >= base + firstOffset && piece <= base + lastOffset;
}

// Directions along the lines through a square: 0 left, 1 right, 2 up, 3 down.
// The square of the first or the second piece met, 0 when there is none.
uint32_t PieceAlongLine(const Position& pos, uint32_t square, int direction, bool second) {
    const uint32_t file = FileOfSquare[square], row = RowOfSquare[square];
    if (direction < 2) {
        const auto& table = second ? RowSecondPiece : RowFirstPiece;
        const uint32_t met = table[file][pos.RowBits[row]][direction];
        return met ? SquareAt(met - 1, row) : 0;
    }
    const auto& table = second ? FileSecondPiece : FileFirstPiece;
    const uint32_t met = table[row][pos.FileBits[file]][direction - 2];
    return met ? SquareAt(file, met - 1) : 0;
}

int DirectionOfStep(int32_t step) {
    switch (step) {
        case -1:
            return 0;
        case 1:
            return 1;
        case -13:
            return 2;
        default:
            return 3;
    }
}

// A pawn next to the target found as an attacker: if a cannon of its side
// stands right behind it, using it as the screen, the cannon goes first, since
// it loses its screen once the pawn has captured. The pawn is found again.
uint32_t PawnOrCannonBehind(const Position& pos, uint32_t target, uint32_t pawnSquare,
                            uint32_t side) {
    const int direction = DirectionOfStep(int32_t(pawnSquare) - int32_t(target));
    const uint32_t behind = PieceAlongLine(pos, target, direction, true);
    if (IsPieceOf(pos.Board[behind], side, CannonOffset, CannonOffset + 1)) return behind;
    return pawnSquare;
}

bool IsPawnOf(uint32_t piece, uint32_t side) {
    return IsPieceOf(piece, side, PawnOffset, PawnOffset + 4);
}

// The net gain of the side that captured last, with `a` to capture next and
// `balance` the net gain so far of a's side.
int32_t Exchange(Position& pos, AttackerCursor& a, AttackerCursor& b, int32_t balance) {
    const uint32_t from = NextAttacker(a, pos);
    if (from == 0) return -balance;
    const uint32_t target = a.target;
    const uint32_t victim = pos.Board[target];
    const int32_t value = OrderValue(victim, target);
    LiftOnto(pos, from, target);
    const int32_t reply = Exchange(pos, b, a, -(balance + value));
    PutBack(pos, from, target, victim);
    return -reply;
}

}  // namespace

namespace {

// Each piece's order value on a square outside ([0]) and inside ([1]) black's
// half, so that pricing a capture needs no branch on the piece's kind. Every
// byte a square can hold has its row (zeros past the pieces), so the look-up
// needs no range test either.
struct OrderValueTable {
    int8_t value[256][2];
    constexpr OrderValueTable() : value() {
        for (uint32_t piece = 16; piece < 48; piece++) {
            for (uint32_t blackHalf = 0; blackHalf < 2; blackHalf++) {
                const uint32_t offset = OffsetOfPiece(piece);
                // Red has crossed in black's half, black outside it.
                const bool crossed = (blackHalf != 0) == (SideOfPiece(piece) == Red);
                value[piece][blackHalf] =
                    int8_t(SideOrderValues[offset] +
                           (offset >= PawnOffset && crossed ? CrossedPawnBonus : 0));
            }
        }
    }
};
constexpr OrderValueTable OrderValues;

}  // namespace

int32_t OrderValue(uint32_t piece, uint32_t square) {
    return OrderValues.value[piece & 255][SquareInBlackHalf[square] != 0];
}

void InitAttackerCursor(AttackerCursor& cursor, uint32_t target, uint32_t side) {
    cursor.stage = PawnAheadStage;
    cursor.target = target;
    cursor.side = uint8_t(side);
    cursor.step = 0;
}

// Each call re-examines the current step against the board as it is now: a
// piece found stays in place until it has captured, so a piece that moved onto
// the target is not found again while one lined up behind it now is. The
// stages run as one straight sequence entered at the cursor's stage, each
// returning with the cursor left on the step that found a piece.
uint32_t NextAttacker(AttackerCursor& cursor, const Position& pos) {
    const uint32_t target = cursor.target, side = cursor.side;
    const uint32_t row = RowOfSquare[target];
    // The square from which the side's pawn captures straight ahead.
    const uint32_t ahead = side == Red ? target + 13 : target - 13;
    const bool acrossRiver = side == Red ? row <= 4 : row >= 5;
    uint32_t step = cursor.step;
    const auto foundAt = [&](AttackerStage stage, uint32_t square) {
        cursor.stage = stage;
        cursor.step = uint8_t(step);
        return square;
    };

    switch (cursor.stage) {
        case PawnAheadStage:
            if (step == 0 && (row == 4 || row == 5) && IsPawnOf(pos.Board[ahead], side))
                return foundAt(PawnAheadStage, PawnOrCannonBehind(pos, target, ahead, side));
            step = 0;
            [[fallthrough]];
        case BishopStage:
            for (; BishopMoves[target][step]; step++) {
                const uint32_t square = BishopMoves[target][step];
                if (IsPieceOf(pos.Board[square], side, BishopOffset, BishopOffset + 1))
                    return foundAt(BishopStage, square);
            }
            step = 0;
            [[fallthrough]];
        case AdvisorStage:
            for (; AdvisorMoves[target][step]; step++) {
                const uint32_t square = AdvisorMoves[target][step];
                if (IsPieceOf(pos.Board[square], side, AdvisorOffset, AdvisorOffset + 1))
                    return foundAt(AdvisorStage, square);
            }
            step = 0;
            [[fallthrough]];
        case PawnStage:
            for (; step < (acrossRiver ? 3u : 1u); step++) {
                const uint32_t square = step == 0 ? ahead : step == 1 ? target + 1 : target - 1;
                if (IsPawnOf(pos.Board[square], side))
                    return foundAt(PawnStage, PawnOrCannonBehind(pos, target, square, side));
            }
            step = 0;
            [[fallthrough]];
        case KnightStage:
            for (; KnightMoves[target][step]; step++) {
                const uint32_t square = KnightMoves[target][step];
                if (IsPieceOf(pos.Board[square], side, KnightOffset, KnightOffset + 1) &&
                    pos.Board[square + KnightLegOffset[int32_t(target) - int32_t(square)]] == 0)
                    return foundAt(KnightStage, square);
            }
            step = 0;
            [[fallthrough]];
        case CannonStage:
            for (; step < 4; step++) {
                const uint32_t square = PieceAlongLine(pos, target, int(step), true);
                if (IsPieceOf(pos.Board[square], side, CannonOffset, CannonOffset + 1))
                    return foundAt(CannonStage, square);
            }
            step = 0;
            [[fallthrough]];
        case RookStage:
            for (; step < 4; step++) {
                const uint32_t square = PieceAlongLine(pos, target, int(step), false);
                if (IsPieceOf(pos.Board[square], side, RookOffset, RookOffset + 1))
                    return foundAt(RookStage, square);
            }
            step = 0;
            [[fallthrough]];
        case KingStage:
            for (; KingMoves[target][step]; step++) {
                const uint32_t square = KingMoves[target][step];
                if (pos.Board[square] == SideBase(side)) return foundAt(KingStage, square);
            }
            [[fallthrough]];
        default:
            cursor.stage = DoneStage;
            cursor.step = 0;
            return 0;
    }
}

void StaticExchange(Position& pos, MoveRecord& record) {
    const uint32_t from = record.from, to = record.to;
    const uint32_t mover = pos.Board[from];
    if (mover == 0) {  // the record does not fit the position
        record.score = 0;
        return;
    }
    const uint32_t side = SideOfPiece(mover);
    AttackerCursor theirs, ours;
    InitAttackerCursor(theirs, to, side ^ 1);
    InitAttackerCursor(ours, to, side);
    const uint32_t victim = pos.Board[to];
    const int32_t gain = OrderValue(victim, to);
    LiftOnto(pos, from, to);
    record.score = Exchange(pos, theirs, ours, -gain);
    PutBack(pos, from, to, victim);
}

bool IsGoodCapture(Position& pos, MoveRecord& record) {
    record.score = OrderValue(pos.Board[record.to], record.to) -
                   OrderValue(pos.Board[record.from], record.from);
    if (record.score >= 0) return true;
    StaticExchange(pos, record);
    return record.score >= 0;
}
