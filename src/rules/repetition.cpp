// Repeated positions and the ruling on the cycle between them.

#include "rules/rules.h"

uint32_t RepetitionStart(const GameHistory& history, uint32_t occurrences) {
    const uint64_t key = history.keys[history.count];
    uint32_t seen = 1;
    for (uint32_t i = history.count; i >= 1; i--) {
        const MoveRecord& r = history.moves[i];
        // Nothing before a capture (or the start, or a null move) can recur.
        if (r.captured != 0 || r.from == 0) break;
        if (history.keys[i - 1] == key && ++seen >= occurrences) return i - 1;
    }
    return NoRepetition;
}

// The cycle is replayed on the board from its first position: each move's
// check and chases are known only on the board it was played on.
Ruling JudgeCycle(Position& board, const GameHistory& history, uint32_t first,
                  const RuleSet& rules) {
    for (uint32_t i = history.count; i > first; i--) {
        const MoveRecord& r = history.moves[i];
        PutBack(board, r.from, r.to, r.captured);
        board.SideToMove ^= 1;
    }
    bool checksThroughout[2] = {true, true};
    uint64_t chasedThroughout[2] = {~uint64_t(0), ~uint64_t(0)};
    for (uint32_t i = first + 1; i <= history.count; i++) {
        const MoveRecord& r = history.moves[i];
        const uint32_t side = board.SideToMove;
        const uint64_t chased = ChaseSet(board, MoveCode(r.from, r.to), rules);
        LiftOnto(board, r.from, r.to);
        board.SideToMove ^= 1;
        checksThroughout[side] = checksThroughout[side] && GaveCheck(board);
        chasedThroughout[side] &= chased;
    }
    if (checksThroughout[Red] != checksThroughout[Black])
        return LossFor(checksThroughout[Red] ? Red : Black);
    if (checksThroughout[Red]) return RulingDraw;
    const bool redChases = chasedThroughout[Red] != 0, blackChases = chasedThroughout[Black] != 0;
    if (redChases != blackChases) return LossFor(redChases ? Red : Black);
    return RulingDraw;
}
