// The book's answer to "go": a drawn move is played only if it is legal, so a
// damaged or stale book can never make the engine play an illegal move.

#include "book/book.h"

bool ChooseBookMove(const Book& book, Position& pos, Move& move) {
    const uint64_t key = CurrentKey(pos);
    Move drawn = 0;
    if (!ProbeBook(book, KeyLow(key), KeyHigh(key), drawn)) return false;
    // IsPseudoLegal checks the squares before anything is looked up on them.
    MoveRecord record = RecordOf(MoveFrom(drawn), MoveTo(drawn), 0, 0, 0);
    if (!IsPseudoLegal(pos, record)) return false;
    if (pos.MoveCount + 1 >= uint32_t(CheckersStackSize)) return false;  // no room to try it
    if (!MakeMove(record, pos)) return false;
    UnmakeMove(pos);
    move = drawn;
    return true;
}
