#pragma once
// Lookup tables: constant geometry and the tables that InitTables builds once.
// The generators, attack tests and evaluation look everything up here rather
// than tracing lines of squares.

#include <cstdint>

// ---------------------------------------------------------------------------
// Constant tables

extern const int32_t SquareOnBoard[182];
extern const int32_t SquareInPalace[182];
extern const int32_t SquareInBlackHalf[182];
extern const int32_t FileOfSquare[182];
extern const int32_t RowOfSquare[182];
extern const int32_t PieceKind[48];

// Indexed by delta = target - origin (negative indexes are valid).
extern const int32_t* const KnightDeltaOk;     // -27..27
extern const int32_t* const KnightLegOffset;   // -27..27
extern const int32_t* const KingDeltaOk;       // -13..13
extern const int32_t* const AdvisorDeltaOk;    // -14..14
extern const int32_t* const BishopDeltaOk;     // -28..28
extern const int32_t* const RedPawnDeltaOk;    // -13..1
extern const int32_t* const BlackPawnDeltaOk;  // -1..13

// Steps in the order the generators list them; each knight step with its leg.
inline constexpr int32_t KingSteps[4] = {-13, 1, 13, -1};
inline constexpr int32_t AdvisorSteps[4] = {-12, 14, 12, -14};
inline constexpr int32_t BishopSteps[4] = {-24, 28, 24, -28};
inline constexpr int32_t KnightSteps[8] = {-25, -11, 15, 27, 25, 11, -15, -27};
inline constexpr int32_t KnightStepLegs[8] = {-13, 1, 1, 13, 13, -1, -1, -13};

// ---------------------------------------------------------------------------
// Built tables

extern uint8_t KingMoves[182][8];
extern uint8_t AdvisorMoves[182][8];
extern uint8_t BishopMoves[182][8];
extern uint8_t KnightMoves[182][12];
extern uint8_t PawnMoves[182][2][4];

// Line tables: [row or file][occupancy][direction], storing 1 + the row or file
// met, 0 for none. Files: direction 0 up (toward row 0), 1 down. Rows:
// direction 0 left (toward file 0), 1 right.
extern uint8_t FileFirstPiece[10][1024][2];
extern uint8_t FileSecondPiece[10][1024][2];
extern uint8_t FileThirdPiece[10][1024][2];
extern uint8_t FileSlideEnd[10][1024][2];
extern uint8_t RowFirstPiece[9][512][2];
extern uint8_t RowSecondPiece[9][512][2];
extern uint8_t RowThirdPiece[9][512][2];
extern uint8_t RowSlideEnd[9][512][2];

// Masks of squares along a line, both directions: file masks have bit r for
// row r, row masks bit 8 - f for file f.
extern uint16_t FileEmptyMask[10][1024];
extern uint16_t FileRookCaptureMask[10][1024];
extern uint16_t FileCannonCaptureMask[10][1024];
extern uint16_t FileThirdPieceMask[10][1024];
extern uint16_t RowEmptyMask[9][512];
extern uint16_t RowRookCaptureMask[9][512];
extern uint16_t RowCannonCaptureMask[9][512];
extern uint16_t RowThirdPieceMask[9][512];
// The number of squares in FileEmptyMask and RowEmptyMask.
extern uint8_t FileEmptyCount[10][1024];
extern uint8_t RowEmptyCount[9][512];

// The ways a king can be attacked, as a set: along its file (rooks, cannons,
// the other king, a pawn in front), along its row (rooks, cannons, pawns
// beside) and by knights.
constexpr uint32_t AlongFile = 1, AlongRow = 2, ByKnight = 4, AnyAttack = 7;
// The ways of attacking a king on palace square number PalaceSlot[king]
// (0..17; 255 off the palaces) that a move opens by emptying a square
// (KingWaysFrom: on the king's file or row, or diagonal to it, where the legs
// of the knights that reach it stand) or by filling one (KingWaysTo).
extern uint8_t PalaceSlot[182];
extern uint8_t KingWaysFrom[18][182];
extern uint8_t KingWaysTo[18][182];

// 9 * row + file of each board square, 0 off the board (and up to 255, so
// that any byte may be looked up).
extern uint8_t BoardIndex[256];

extern uint64_t ZobristPiece[14][182];
extern uint64_t ZobristSide;
extern int32_t PieceSquareValue[14][182];
extern uint32_t BitCount16[65536];

// Builds every table above, drawing the Zobrist keys from the random generator.
void InitTables();
// Builds the tables unless they have been built already.
void EnsureTables();
bool TablesBuilt();

// The bit of a row in a file mask and of a file in a row mask.
constexpr inline uint32_t RowBit(uint32_t row) {
    return 1u << row;
}
constexpr inline uint32_t FileBit(uint32_t file) {
    return 1u << (8 - file);
}
