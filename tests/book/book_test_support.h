#pragma once
// Small helpers for the book tests: temporary book files and a look into the
// table that does not use the table's own slot sequence.

#include <memory>
#include <string>

#include "book/book.h"

// An empty book for one test, on the heap (it is megabytes large).
std::unique_ptr<Book> NewBook();

// A file with the given bytes in the temporary directory, named after this
// process (test processes may run side by side), removed when it goes.
struct TempBookFile {
    std::string path;
    explicit TempBookFile(const std::string& bytes);
    ~TempBookFile();
    TempBookFile(const TempBookFile&) = delete;
    TempBookFile& operator=(const TempBookFile&) = delete;
};

// Every used slot holding the key, found by scanning the whole table.
int SlotsHoldingKey(const Book& book, uint64_t key);
const BookSlot* FindSlot(const Book& book, uint64_t key);
// Moves stored over the whole table.
int StoredMoveCount(const Book& book);

uint64_t KeyOfFen(const char* fen);
Move MoveOfText(const char* text);

// Draws ChooseBookMove `draws` times; the share of each move in the result.
struct DrawCounts {
    int misses;
    int hits[65536];
};
void CountBookDraws(const Book& book, Position& pos, int draws, DrawCounts& counts);
