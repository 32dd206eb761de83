// Moves sent by a front end, and keeping the stacks in room for long games.

#include <cstring>

#include "position/position.h"

void TrimHistory(Position& pos, uint32_t keep) {
    if (keep >= pos.MoveCount) return;
    const uint32_t first = pos.MoveCount - keep;
    std::memmove(&pos.MoveStack[0], &pos.MoveStack[first], (keep + 1) * sizeof(MoveRecord));
    std::memmove(&pos.KeyStack[0], &pos.KeyStack[first], (keep + 1) * sizeof(uint64_t));
    std::memmove(&pos.CheckersStack[0], &pos.CheckersStack[first], (keep + 1) * sizeof(uint32_t));
    // The new base acts as a loaded position: repetition detection stops there.
    pos.MoveStack[0].from = pos.MoveStack[0].to = 0;
    pos.MoveStack[0].captured = 0;
    pos.MoveCount = keep;
    pos.Ply = 0;
}

bool PlayGameMove(Position& pos, MoveRecord& record) {
    if (!IsPseudoLegal(pos, record)) return false;
    if (pos.MoveCount >= MaxGameHistory) {
        // Repetition detection never looks past the last capture or null
        // move, so that is all the history worth keeping; a game without
        // one keeps its most recent half.
        uint32_t last = pos.MoveCount;
        while (last > 0 && pos.MoveStack[last].captured == 0 && pos.MoveStack[last].from != 0)
            last--;
        const uint32_t sinceIrreversible = pos.MoveCount - last;
        TrimHistory(
            pos, sinceIrreversible < MaxGameHistory / 2 ? sinceIrreversible : MaxGameHistory / 2);
    }
    record.captured = 0;
    record.givesCheck = 0;
    record.score = 0;
    const bool played = MakeMove(record, pos);
    pos.Ply = 0;
    QUILLON_ASSERT_CONSISTENT(pos);
    return played;
}
