// Whether a game is over after its last move, and its result.

#include "check/check.h"
#include "rules/rules.h"

const char* RulingText(Ruling ruling) {
    switch (ruling) {
        case RulingDraw:
            return "draw";
        case RulingRedLoses:
            return "red loses";
        case RulingBlackLoses:
            return "black loses";
        default:
            return "none";
    }
}

bool HasLegalMove(Position& board) {
    MoveRecord list[MaxGeneratedMoves + 1];
    const int n = GenerateAll(board, list);
    for (int i = 0; i < n; i++)
        if (!LeavesKingAttacked(board, list[i].from, list[i].to)) return true;
    return false;
}

Ruling JudgeGameEnd(Position& board, const GameHistory& history, const RuleSet& rules) {
    if (!HasLegalMove(board)) return LossFor(board.SideToMove);
    const uint32_t first = RepetitionStart(history, rules.repetitionsToEnd);
    if (first != NoRepetition) return JudgeCycle(board, history, first, rules);
    if (QuietPlies(history, board.SideToMove, rules) >= rules.quietPlyLimit) return RulingDraw;
    return RulingNone;
}
