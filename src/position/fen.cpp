// Loading a position from FEN text. Only the placement and the side field are
// read. Malformed text never writes outside the board: extra files and rows
// are ignored, unknown characters skipped, missing rows left empty, and a
// missing side field means red to move. A placement no game can reach is
// refused: the generators, the evasions above all, assume that pieces stand
// only where their moves can take them.

#include <cstring>

#include "position/position.h"

const char StartFen[] = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

namespace {

struct PieceLetter {
    char letter;
    uint32_t first;  // the first piece number of this letter
    uint32_t quota;
};

const PieceLetter PieceLetters[14] = {
    {'K', 16, 1}, {'A', 17, 2}, {'B', 19, 2}, {'N', 21, 2}, {'R', 23, 2},
    {'C', 25, 2}, {'P', 27, 5}, {'k', 32, 1}, {'a', 33, 2}, {'b', 35, 2},
    {'n', 37, 2}, {'r', 39, 2}, {'c', 41, 2}, {'p', 43, 5},
};

int LetterIndex(char c) {
    for (int i = 0; i < 14; i++)
        if (PieceLetters[i].letter == c) return i;
    return -1;
}

// Points seen from the piece's own side: rank 0 is its back rank.
struct Point {
    uint32_t file, rank;
};
const Point AdvisorPoints[5] = {{3, 0}, {5, 0}, {4, 1}, {3, 2}, {5, 2}};
const Point BishopPoints[7] = {{2, 0}, {6, 0}, {0, 2}, {4, 2}, {8, 2}, {2, 4}, {6, 4}};

template <int N>
bool IsOneOf(const Point (&points)[N], uint32_t file, uint32_t rank) {
    for (const Point& point : points)
        if (point.file == file && point.rank == rank) return true;
    return false;
}

// Whether some game can bring the piece to the square.
bool CanStandOn(uint32_t piece, uint32_t square) {
    const uint32_t file = uint32_t(FileOfSquare[square]);
    const uint32_t rank =
        IsRedPiece(piece) ? 9 - uint32_t(RowOfSquare[square]) : uint32_t(RowOfSquare[square]);
    const uint32_t offset = OffsetOfPiece(piece);
    if (offset == KingOffset) return file >= 3 && file <= 5 && rank <= 2;
    if (offset < BishopOffset) return IsOneOf(AdvisorPoints, file, rank);
    if (offset < KnightOffset) return IsOneOf(BishopPoints, file, rank);
    if (offset < PawnOffset) return true;  // knights, rooks and cannons go anywhere
    // Pawns never step back, nor sideways before the river.
    return rank >= 5 || (rank >= 3 && file % 2 == 0);
}

}  // namespace

uint64_t ComputeKey(const Position& pos) {
    uint64_t key = 0;
    for (uint32_t s = 0; s < BoardSquares; s++)
        if (pos.Board[s]) key ^= ZobristPiece[PieceKind[pos.Board[s]]][s];
    if (pos.SideToMove == Black) key ^= ZobristSide;
    return key;
}

bool LoadFen(const char* text, Position& pos) {
    // Placement: rows separated by '/', ended by a blank. Checked whole before
    // the position is touched.
    uint32_t squareOf[48] = {};
    uint32_t placed[14] = {};
    uint32_t row = 0, file = 0;
    const char* p = text;
    for (; *p && *p != ' '; p++) {
        const char c = *p;
        if (c == '/') {
            row++;
            file = 0;
        } else if (row > 9) {
            continue;
        } else if (c >= '1' && c <= '9') {
            file += uint32_t(c - '0');
        } else if (const int i = LetterIndex(c); i >= 0) {
            if (file < 9) {
                if (placed[i] == PieceLetters[i].quota) return false;
                const uint32_t piece = PieceLetters[i].first + placed[i]++;
                const uint32_t square = SquareAt(file, row);
                if (!CanStandOn(piece, square)) return false;
                squareOf[piece] = square;
            }
            file++;
        }
    }
    while (*p == ' ') p++;

    std::memset(pos.Board, 0, sizeof pos.Board);
    std::memset(pos.PieceSquare, 0, sizeof pos.PieceSquare);
    std::memset(pos.FileBits, 0, sizeof pos.FileBits);
    std::memset(pos.RowBits, 0, sizeof pos.RowBits);
    pos.RedValue = pos.BlackValue = 0;
    std::memset(pos.MoveStack, 0, sizeof pos.MoveStack);
    for (uint32_t piece = 16; piece < 48; piece++) {
        if (!squareOf[piece]) continue;
        pos.Board[squareOf[piece]] = uint8_t(piece);
        pos.PieceSquare[piece] = uint8_t(squareOf[piece]);
    }
    pos.SideToMove = *p == 'b' ? Black : Red;

    for (uint32_t s = 0; s < BoardSquares; s++) {
        const uint32_t piece = pos.Board[s];
        if (!piece) continue;
        pos.RowBits[RowOfSquare[s]] |= uint16_t(FileBit(FileOfSquare[s]));
        pos.FileBits[FileOfSquare[s]] |= uint16_t(RowBit(RowOfSquare[s]));
        if (IsRedPiece(piece))
            pos.RedValue += PieceSquareValue[PieceKind[piece]][s];
        else
            pos.BlackValue += PieceSquareValue[PieceKind[piece]][s];
    }

    std::memset(pos.KeyStack, 0, sizeof pos.KeyStack);
    pos.KeyStack[0] = ComputeKey(pos);
    pos.MoveCount = 0;
    pos.Ply = 0;
    std::memset(pos.CheckersStack, 0, sizeof pos.CheckersStack);
    pos.MoveStack[0].givesCheck = InCheck(pos, pos.SideToMove);
    return true;
}
