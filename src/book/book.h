#pragma once
// The opening book: "book.TXT" beside the executable, read into a fixed table
// keyed by position key, and a weighted random choice among the moves stored
// for a position.
//
// Each line of the file: the move (4 characters, "h2e2"), a space, the weight
// (decimal), a space, and the FEN of the position in which the move is played.

#include <cstddef>
#include <cstdint>

#include "position/position.h"

constexpr int BookSlotCount = 65536;
constexpr int BookMovesPerSlot = 20;
constexpr int BookProbeLength = 40;  // slots visited for one key
constexpr uint32_t MaxBookWeight = 65535;
// A line as read at one time, its line feed included; longer lines are split.
constexpr int BookLineLength = 98;

struct BookSlot {
    uint32_t KeyLow;
    uint32_t KeyHigh;
    uint8_t Count;  // moves stored, 0..BookMovesPerSlot
    uint8_t Used;   // 1 when the slot belongs to a position
    Move Moves[BookMovesPerSlot];
    uint16_t Weights[BookMovesPerSlot];
};

struct Book {
    BookSlot slots[BookSlotCount];
    Position scratch;  // too large for the stack: each line's position is set up here
};

// ---------------------------------------------------------------------------
// The table (book_table.cpp)

void ClearBook(Book& book);
// Stores a move for the position with this key. False when it cannot be
// stored: the position already has BookMovesPerSlot moves, or every slot the
// key may use belongs to another position.
bool AddBookMove(Book& book, uint32_t keyLow, uint32_t keyHigh, uint32_t from, uint32_t to,
                 uint32_t weight);
// Draws one of the position's moves with probability proportional to its
// weight. False when the position is not in the book or all its weights are 0.
bool ProbeBook(const Book& book, uint32_t keyLow, uint32_t keyHigh, Move& move);

// ---------------------------------------------------------------------------
// Reading the file (book_file.cpp)

// Told of each line whose move text is malformed; the line's entry is still
// stored, with the squares the parser made of it.
struct BookComplaints {
    void* context;
    void (*moveText)(void* context, const MoveTextFaults& faults);
};

// Replaces the book with the lines of the file. False when it cannot be
// opened; the book is then empty.
bool LoadBookFile(Book& book, const char* path, const BookComplaints* complaints = nullptr);
// Reads "book.TXT" from the executable's directory (or from the current
// directory when that is unknown). Needs the hash-key tables.
void LoadBook(Book& book, const BookComplaints* complaints = nullptr);
// Where LoadBook looks: the directory of an absolute executable path plus
// "book.TXT", else "book.TXT". False when the result does not fit in `size`.
bool BookPathFor(const char* executablePath, char* out, size_t size);
// Stores the entry of one line of the file; false when the line is skipped.
bool AddBookLine(Book& book, const char* line, const BookComplaints* complaints = nullptr);

// ---------------------------------------------------------------------------
// The move for "go" (book_choice.cpp)

// A book move for the position, only if it is legal there (tried with
// MakeMove and taken back at once).
bool ChooseBookMove(const Book& book, Position& pos, Move& move);
