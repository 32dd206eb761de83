#pragma once
// The game state and everything that changes it: the board with its margin,
// the fixed piece numbers, moves and move records, making and unmaking moves,
// FEN loading, move generation and the coordinate notation of moves.

#include <cstdint>

#include "position/debug_checks.h"
#include "position/tables.h"

// ---------------------------------------------------------------------------
// Squares: a 13 x 14 array with a two-square margin around the 9 x 10 board.
// Row 0 is black's back rank, file 0 the a-file. Square 0 is never on the board.

constexpr int BoardSquares = 182;
constexpr inline uint32_t SquareAt(uint32_t file, uint32_t row) {
    return 28 + 13 * row + file;
}

// ---------------------------------------------------------------------------
// Pieces: 16..31 red, 32..47 black, 0 empty. Within a side: +0 king, +1..2
// advisors, +3..4 bishops, +5..6 knights, +7..8 rooks, +9..10 cannons,
// +11..15 pawns.

constexpr uint32_t Red = 0, Black = 1;
constexpr uint32_t KingOffset = 0, AdvisorOffset = 1, BishopOffset = 3, KnightOffset = 5,
                   RookOffset = 7, CannonOffset = 9, PawnOffset = 11;
constexpr uint32_t RedKing = 16, BlackKing = 32;

constexpr inline uint32_t SideBase(uint32_t side) {
    return 16 + 16 * side;
}
constexpr inline bool IsRedPiece(uint32_t piece) {
    return (piece & 16) != 0;
}
constexpr inline uint32_t SideOfPiece(uint32_t piece) {
    return ((~piece) >> 4) & 1;
}
constexpr inline uint32_t OffsetOfPiece(uint32_t piece) {
    return piece & 15;
}
// Red has crossed the river in black's half, black in red's.
inline bool HasCrossedRiver(uint32_t side, uint32_t square) {
    return (SquareInBlackHalf[square] != 0) == (side == Red);
}

// ---------------------------------------------------------------------------
// Moves

typedef uint16_t Move;  // to * 256 + from; 0 = no move

constexpr inline Move MoveCode(uint32_t from, uint32_t to) {
    return Move(to * 256 + from);
}
constexpr inline uint32_t MoveFrom(Move m) {
    return m & 255u;
}
constexpr inline uint32_t MoveTo(Move m) {
    return uint32_t(m) >> 8;
}

// Eight bytes, so that generating, sorting and copying moves moves little.
struct MoveRecord {
    uint8_t from;
    uint8_t to;
    uint8_t captured;    // piece that stood on `to`, 0 for none
    uint8_t givesCheck;  // after this move the side to move is in check
    int32_t score;       // ordering score
};
static_assert(sizeof(MoveRecord) == 8, "a move record fits in a register");

// A record from squares and pieces held in wider integers (all below 256).
constexpr inline MoveRecord RecordOf(uint32_t from, uint32_t to, uint32_t captured = 0,
                                     uint32_t givesCheck = 0, int32_t score = 0) {
    return MoveRecord{uint8_t(from), uint8_t(to), uint8_t(captured), uint8_t(givesCheck), score};
}

inline Move MoveOf(const MoveRecord& r) {
    return Move((r.to << 8) + r.from);
}

// The largest number of pseudo-legal moves any position can have, from the
// per-piece maxima: king 4, advisors 2 x 4, bishops 2 x 4, knights 2 x 8,
// rooks 2 x 17, cannons 2 x 17, pawns 5 x 3. Captures: rooks and cannons
// capture at most 4 each, so 4 + 8 + 8 + 16 + 8 + 8 + 15.
constexpr int MaxGeneratedMoves = 119;
constexpr int MaxGeneratedCaptures = 67;

// ---------------------------------------------------------------------------
// The position

constexpr int StackSize = 1024;
constexpr int CheckersStackSize = 1023;
constexpr uint32_t MaxPly = 50;  // the search never goes deeper than this
// Game moves kept behind the current position; the rest of the stacks is room
// for the search (MaxPly plies plus the quiescence and report walks).
constexpr uint32_t MaxGameHistory = 900;

struct Position {
    uint8_t Board[BoardSquares];  // piece on each square
    uint8_t PieceSquare[48];      // square of each piece, 0 = not on the board
    uint32_t SideToMove;          // 0 red, 1 black
    uint16_t FileBits[9];         // bit r: row r of the file is occupied
    uint16_t RowBits[10];         // bit 8 - f: file f of the row is occupied
    int32_t RedValue;
    int32_t BlackValue;
    MoveRecord MoveStack[StackSize];  // [0] is the sentinel of the loaded position
    uint64_t KeyStack[StackSize];
    uint32_t CheckersStack[CheckersStackSize];
    uint32_t MoveCount;  // moves (null moves included) since the load
    uint32_t Ply;        // distance from the root of the current search
};

inline uint64_t CurrentKey(const Position& pos) {
    return pos.KeyStack[pos.MoveCount];
}
inline uint32_t KeyLow(uint64_t key) {
    return uint32_t(key);
}
inline uint32_t KeyHigh(uint64_t key) {
    return uint32_t(key >> 32);
}
inline bool SideToMoveInCheck(const Position& pos) {
    return pos.MoveStack[pos.MoveCount].givesCheck != 0;
}
inline uint32_t CurrentCheckers(const Position& pos) {
    return pos.CheckersStack[pos.MoveCount];
}

// The key the position will have once `m` is played, for fetching its hash
// bucket before the move is made.
inline uint64_t KeyAfterMove(const Position& pos, Move m) {
    const uint32_t from = MoveFrom(m), to = MoveTo(m);
    const uint32_t kind = PieceKind[pos.Board[from]];
    const uint32_t victim = pos.Board[to];
    uint64_t key =
        CurrentKey(pos) ^ ZobristSide ^ ZobristPiece[kind][from] ^ ZobristPiece[kind][to];
    if (victim) key ^= ZobristPiece[PieceKind[victim]][to];
    return key;
}

// A move code as a record ready for MakeMove.
inline MoveRecord RecordOfMove(const Position& pos, Move m) {
    return RecordOf(MoveFrom(m), MoveTo(m), pos.Board[MoveTo(m)]);
}

extern const char StartFen[];

// ---------------------------------------------------------------------------
// Loading (fen.cpp)

// False, the position left as it was, for a placement no game can reach: a
// piece where its moves never lead or more of a kind than a side starts with.
bool LoadFen(const char* text, Position& pos);
uint64_t ComputeKey(const Position& pos);

// ---------------------------------------------------------------------------
// Making moves (make_move.cpp)

bool MakeMove(MoveRecord& record, Position& pos);  // false: refused, position unchanged
// MakeMove from a copy made for each side to move: faster where little else
// runs (perft), larger in the instruction cache.
bool MakeMoveBySide(MoveRecord& record, Position& pos);
inline void UnmakeMove(Position& pos);  // defined below: inlined into the searches
void MakeNullMove(Position& pos);
void UnmakeNullMove(Position& pos);
bool InCheck(Position& pos, uint32_t side);  // also fills CheckersStack[MoveCount]
// The checkers mask of `side`'s king as the board stands; 0 without a king.
uint32_t AttackersOfKing(const Position& pos, uint32_t side);
int DetectRepetition(const Position& pos);  // 0 none, 1 plain, 2 black checks, 3 red, 4 both

// A move sent by a front end: played only when it is pseudo-legal for the side
// to move and legal. Keeps the stacks in room by dropping old history.
bool PlayGameMove(Position& pos, MoveRecord& record);
// Forgets all but the last `keep` moves; the position itself is unchanged.
void TrimHistory(Position& pos, uint32_t keep);

// A move on the board and the occupancy bits alone (keys, sums and stacks
// untouched), for looking ahead without playing: returns the piece lifted off
// `to`, which PutBack needs to restore the board exactly.
uint32_t LiftOnto(Position& pos, uint32_t from, uint32_t to);
inline void PutBack(Position& pos, uint32_t from, uint32_t to, uint32_t victim);  // defined below

// ---------------------------------------------------------------------------
// Move generation (movegen.cpp): pseudo-legal, MakeMove settles legality.

int GenerateCaptures(const Position& pos, MoveRecord* list);
int GenerateNonCaptures(const Position& pos, MoveRecord* list);
int GenerateAll(const Position& pos, MoveRecord* list);
bool IsPseudoLegal(const Position& pos, const MoveRecord& record);

// ---------------------------------------------------------------------------
// Coordinate notation (notation.cpp): "h2e2".

// What is wrong with one character of a move text: a character that is
// neither a file letter a-i nor a digit, or one of them in the other's place.
enum MoveTextFault : uint8_t { MoveTextCharWrong, MoveTextSequenceWrong };
struct MoveTextFaults {
    int32_t count;
    MoveTextFault fault[4];  // one per wrong character, in order
};

// Reads up to four characters of `text`; a missing character counts as
// wrong, and a wrong one leaves its file or rank 0. The faults found are
// written to `faults` when given.
MoveRecord ParseMoveString(const char* text, MoveTextFaults* faults = nullptr);
// The text is exactly a move in coordinate notation: a file letter a-i, a
// rank digit, a file letter, a rank digit, and nothing more.
bool IsMoveText(const char* text);
// Writes the four characters of a move and a terminating zero into `out`.
void FormatMove(uint32_t from, uint32_t to, char out[5]);

// ---------------------------------------------------------------------------
// The small parts of making moves, inline for the search's hot loops

inline void SetOccupied(Position& pos, uint32_t square) {
    pos.FileBits[FileOfSquare[square]] |= uint16_t(RowBit(RowOfSquare[square]));
    pos.RowBits[RowOfSquare[square]] |= uint16_t(FileBit(FileOfSquare[square]));
}
inline void ClearOccupied(Position& pos, uint32_t square) {
    pos.FileBits[FileOfSquare[square]] &= uint16_t(~RowBit(RowOfSquare[square]));
    pos.RowBits[RowOfSquare[square]] &= uint16_t(~FileBit(FileOfSquare[square]));
}

// Both sides' sums before a move ride in the score of its stack record (an
// ordering score means nothing there), so unmaking restores them without a
// table look-up. Each sum stays far inside 16 bits: a whole side, every
// piece on its best square, makes about 1200.
inline int32_t PackSums(const Position& pos) {
    return int32_t(uint32_t(uint16_t(pos.RedValue)) | (uint32_t(uint16_t(pos.BlackValue)) << 16));
}
inline void UnpackSums(Position& pos, int32_t packed) {
    pos.RedValue = int16_t(uint32_t(packed) & 0xffff);
    pos.BlackValue = int16_t(uint32_t(packed) >> 16);
}

inline void PutBack(Position& pos, uint32_t from, uint32_t to, uint32_t victim) {
    const uint32_t mover = pos.Board[to];
    pos.Board[from] = mover;
    pos.PieceSquare[mover] = from;
    SetOccupied(pos, from);
    pos.Board[to] = victim;
    if (victim) {
        pos.PieceSquare[victim] = to;
    } else {
        ClearOccupied(pos, to);
    }
}

// Keys live in KeyStack, so unmaking is PutBack's work on the board and the
// occupancy words, and the sums.
inline void UnmakeMove(Position& pos) {
    const MoveRecord& r = pos.MoveStack[pos.MoveCount];
    const int32_t sums = r.score;
    PutBack(pos, r.from, r.to, r.captured);
    UnpackSums(pos, sums);
    pos.MoveCount--;
    pos.Ply--;
    pos.SideToMove ^= 1;
    QUILLON_ASSERT_INCREMENTAL(pos);
}
