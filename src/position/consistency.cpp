// The position's incremental state recomputed from scratch. Squares are
// turned into files and rows by arithmetic rather than through the square
// tables; the full check takes the sums from the placement values rather
// than the square-indexed copy that making moves reads.

#include <cstdio>
#include <cstdlib>

#include "position/debug_checks.h"
#include "position/piece_values.h"
#include "position/position.h"

// The check after every move runs tens of millions of times in the
// sanitized tests, and uninstrumented it costs a fifth as much. It guards
// every index it reads by the bounds it tests first.
#define QUILLON_UNINSTRUMENTED __attribute__((no_sanitize("address", "undefined")))

namespace {

constexpr uint32_t FirstSquare = SquareAt(0, 0);

bool IsPieceNumber(uint32_t piece) {
    return piece >= 16 && piece < 48;
}

QUILLON_UNINSTRUMENTED inline bool IsOnBoard(uint32_t square) {
    return square >= FirstSquare && square <= SquareAt(8, 9) && (square - FirstSquare) % 13 < 9;
}

QUILLON_UNINSTRUMENTED inline uint32_t FileOf(uint32_t square) {
    return (square - FirstSquare) % 13;
}
QUILLON_UNINSTRUMENTED inline uint32_t RowOf(uint32_t square) {
    return (square - FirstSquare) / 13;
}

}  // namespace

QUILLON_UNINSTRUMENTED const char* IncrementalStateMismatch(const Position& pos) {
    if (pos.SideToMove > 1) return "side to move";
    if (pos.MoveCount >= CheckersStackSize) return "move count past the stacks";
    uint16_t fileBits[9] = {}, rowBits[10] = {};
    int32_t sums[2] = {0, 0};
    uint64_t key = pos.SideToMove == Black ? ZobristSide : 0;
    for (uint32_t piece = 16; piece < 48; piece++) {
        const uint32_t square = pos.PieceSquare[piece];
        if (square == 0) continue;
        if (!IsOnBoard(square) || pos.Board[square] != piece) return "piece map and board disagree";
        fileBits[FileOf(square)] |= uint16_t(1u << RowOf(square));
        rowBits[RowOf(square)] |= uint16_t(1u << (8 - FileOf(square)));
        const uint32_t kind = uint32_t(PieceKind[piece]);
        sums[SideOfPiece(piece)] += PieceSquareValue[kind][square];
        key ^= ZobristPiece[kind][square];
    }
    for (uint32_t file = 0; file < 9; file++)
        if (pos.FileBits[file] != fileBits[file]) return "file occupancy";
    for (uint32_t row = 0; row < 10; row++)
        if (pos.RowBits[row] != rowBits[row]) return "row occupancy";
    if (pos.RedValue != sums[Red]) return "red's sum";
    if (pos.BlackValue != sums[Black]) return "black's sum";
    if (CurrentKey(pos) != key) return "key";
    // The flag MakeMove derives from the ways the move touched, against the
    // full attack test.
    if ((pos.MoveStack[pos.MoveCount].givesCheck != 0) !=
        (AttackersOfKing(pos, pos.SideToMove) != 0))
        return "check flag";
    return nullptr;
}

const char* PositionInconsistency(const Position& pos) {
    if (const char* what = IncrementalStateMismatch(pos)) return what;
    // The map's pieces stand where it says; now every piece on the board is
    // in the map, nothing stands in the margin, and no number below the
    // pieces' is mapped.
    for (uint32_t square = 0; square < BoardSquares; square++) {
        const uint32_t piece = pos.Board[square];
        if (piece == 0) continue;
        if (!IsOnBoard(square)) return "a piece in the margin";
        if (!IsPieceNumber(piece) || pos.PieceSquare[piece] != square)
            return "board and piece map disagree";
    }
    for (uint32_t piece = 0; piece < 16; piece++)
        if (pos.PieceSquare[piece] != 0) return "piece map and board disagree";

    // The sums once more, from the placement values themselves.
    int32_t sums[2] = {0, 0};
    for (uint32_t piece = 16; piece < 48; piece++) {
        const uint32_t square = pos.PieceSquare[piece];
        if (square != 0)
            sums[SideOfPiece(piece)] +=
                PlacementValue(uint32_t(PieceKind[piece]), FileOf(square), RowOf(square));
    }
    if (pos.RedValue != sums[Red] || pos.BlackValue != sums[Black])
        return "sums against the placement values";

    // The last move: a piece stands on its target, its square of departure
    // is empty, and what it took is gone. (Whose piece is left open: MakeMove
    // plays whatever a corrupt hash move names.)
    const MoveRecord& last = pos.MoveStack[pos.MoveCount];
    if (last.from != 0) {
        if (!IsOnBoard(last.from) || !IsOnBoard(last.to) || pos.Board[last.from] != 0 ||
            pos.Board[last.to] == 0)
            return "last move's squares";
        if (last.captured != 0 &&
            (!IsPieceNumber(last.captured) || pos.PieceSquare[last.captured] != 0))
            return "last move's capture";
    }
    return nullptr;
}

void FailCheck(const char* what, const char* detail, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s%s%s\n", file, line, what, detail ? ": " : "",
                 detail ? detail : "");
    std::abort();
}

void CheckConsistent(const Position& pos, const char* file, int line) {
    if (const char* what = PositionInconsistency(pos))
        FailCheck("consistent position", what, file, line);
}

void CheckIncrementalState(const Position& pos, const char* file, int line) {
    if (const char* what = IncrementalStateMismatch(pos))
        FailCheck("incremental state", what, file, line);
}
