// A game's moves and keys kept beside the position, whose stacks hold few.

#include <cstring>

#include "rules/rules.h"

void StartRecord(GameRecord& game, const Position& pos) {
    std::memset(&game.moves[0], 0, sizeof game.moves[0]);
    game.moves[0].givesCheck = pos.MoveStack[pos.MoveCount].givesCheck;
    game.keys[0] = CurrentKey(pos);
    game.count = 0;
}

bool PlayRecordedMove(Position& pos, GameRecord& game, Move m) {
    if (game.count >= MaxRecordedPlies) return false;
    MoveRecord record = RecordOfMove(pos, m);
    if (!IsPseudoLegal(pos, record)) return false;
    // The record keeps the history; the position needs only room for one move.
    if (pos.MoveCount + 2 >= StackSize) TrimHistory(pos, 0);
    if (!MakeMove(record, pos)) return false;
    pos.Ply = 0;
    game.count++;
    game.moves[game.count] = pos.MoveStack[pos.MoveCount];
    game.moves[game.count].score = 0;
    game.keys[game.count] = CurrentKey(pos);
    return true;
}
