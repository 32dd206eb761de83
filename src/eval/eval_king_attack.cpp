// Terms that reward cannons bearing on the enemy king: a cannon facing it
// with nothing between, a king shut in by a piece in its palace centre, and a
// central cannon against a king walled in by its own advisor and bishop.
// The two colours do not earn the same: the constants differ on purpose.

#include "eval/eval.h"
#include "eval/eval_board.h"

using namespace eval_board;

namespace {

// A cannon on the king's file with nothing between them, by the king's file.
int32_t FileFacingPoints(const Position& pos, uint32_t kingFile, uint32_t kingRow) {
    switch (kingFile) {
        case 3:
        case 5:
            return Occupied(pos, 4, kingRow) ? 40 : 20;
        case 4:
            return Occupied(pos, 3, kingRow) && Occupied(pos, 5, kingRow) ? 60 : 30;
        default:
            return 0;
    }
}

// A cannon on the king's row with nothing between them, by the king's row
// within its own palace.
int32_t RowFacingPoints(const Position& pos, uint32_t kingSide, uint32_t kingFile,
                        uint32_t kingRow) {
    const uint32_t back = kingSide == Black ? 0 : 9;
    const uint32_t middle = kingSide == Black ? 1 : 8;
    const uint32_t front = kingSide == Black ? 2 : 7;
    if (kingRow == back || kingRow == front) return Occupied(pos, kingFile, middle) ? 40 : 20;
    if (kingRow == middle)
        return Occupied(pos, kingFile, kingRow - 1) && Occupied(pos, kingFile, kingRow + 1) ? 35
                                                                                            : 15;
    return 0;
}

}  // namespace

int32_t EmptyCannonBonus(const Position& pos, uint32_t side) {
    if (CountPair(pos, side, RookOffset) == 0) return 0;
    const uint32_t kingSquare = pos.PieceSquare[SideBase(side ^ 1)];
    if (kingSquare == 0) return 0;
    const uint32_t kingFile = FileOfSquare[kingSquare], kingRow = RowOfSquare[kingSquare];

    int32_t points = 0;
    for (uint32_t cannon = SideBase(side) + CannonOffset;
         cannon <= SideBase(side) + CannonOffset + 1; cannon++) {
        const uint32_t square = pos.PieceSquare[cannon];
        if (square == 0) continue;
        const uint32_t file = FileOfSquare[square], row = RowOfSquare[square];
        if (file == kingFile) {
            // Only from the cannon's own side of the king: below it for red, above for black.
            const bool ownSide = side == Red ? row > kingRow : row < kingRow;
            if (ownSide && FirstOnFile(pos, file, row, side == Red ? Up : Down) == kingRow + 1)
                points += FileFacingPoints(pos, kingFile, kingRow);
        } else if (row == kingRow) {
            if (FirstOnRow(pos, file, row, file > kingFile ? Left : Right) == kingFile + 1)
                points += RowFacingPoints(pos, side ^ 1, kingFile, kingRow);
        }
    }
    return points;
}

int32_t PalaceHeartBonus(const Position& pos, uint32_t side) {
    // The enemy king on its back-row centre, flanked, with a heart piece in front.
    const uint32_t back = side == Red ? 0 : 9;
    const uint32_t heart = side == Red ? 1 : 8;
    const uint32_t enemy = side ^ 1;
    // The rarest condition first.
    const uint32_t heartPiece = PieceAt(pos, 4, heart);
    // Red earns it against a black knight or rook; black only against a red knight.
    const bool shutIn = IsPairPiece(heartPiece, enemy, KnightOffset) ||
                        (side == Red && IsPairPiece(heartPiece, enemy, RookOffset));
    if (!shutIn) return 0;
    if (PieceAt(pos, 4, back) != SideBase(enemy)) return 0;
    if (!Occupied(pos, 3, back) || !Occupied(pos, 5, back)) return 0;

    int32_t points = 10;
    const uint32_t screenRow = side == Red ? 2 : 7;
    const int32_t screened = side == Red ? 60 : 70, open = side == Red ? 20 : 30;
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t square = pos.PieceSquare[SideBase(side) + CannonOffset + i];
        if (square == 0 || FileOfSquare[square] != 4) continue;
        const uint32_t first = FirstOnFile(pos, 4, RowOfSquare[square], side == Red ? Up : Down);
        points += first == screenRow + 1 ? screened : open;
    }
    return points;
}

int32_t CentralCannonBonus(const Position& pos, uint32_t side) {
    const uint32_t enemy = side ^ 1;
    // Rows counted from the enemy's back rank toward the centre.
    const uint32_t back = side == Red ? 0 : 9;
    const int32_t forward = side == Red ? 1 : -1;
    const auto rowAhead = [&](int32_t steps) { return uint32_t(int32_t(back) + forward * steps); };

    // The rarest condition first: an advisor in the palace's heart.
    if (!IsPairPiece(PieceAt(pos, 4, rowAhead(1)), enemy, AdvisorOffset)) return 0;
    if (PieceAt(pos, 4, back) != SideBase(enemy)) return 0;
    if (!IsPairPiece(PieceAt(pos, 4, rowAhead(2)), enemy, BishopOffset)) return 0;
    if (!IsPairPiece(PieceAt(pos, 4, rowAhead(3)), side, CannonOffset)) return 0;

    bool rookOnFile[9] = {};
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t square = pos.PieceSquare[SideBase(side) + RookOffset + i];
        if (square) rookOnFile[FileOfSquare[square]] = true;
    }
    int32_t points = 0;
    if (IsPairPiece(PieceAt(pos, 3, back), enemy, AdvisorOffset) && rookOnFile[5]) points += 15;
    if (IsPairPiece(PieceAt(pos, 5, back), enemy, AdvisorOffset) && rookOnFile[3]) points += 15;
    return points;
}
