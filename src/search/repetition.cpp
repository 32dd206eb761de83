// Repeated positions in the search. The classic profile knows perpetual
// check only; the modern one judges the cycle by the rules of the game
// (perpetual check and perpetual chase) and draws a long quiet stretch.

#include "rules/rules.h"
#include "search/search.h"
#include "search/tree.h"

int16_t RepetitionScore(const Position& pos, bool& repeated) {
    // Nothing repeats across a capture or a null move, so most quiescence
    // nodes, reached by a capture, need no walk back through the moves.
    const MoveRecord& last = pos.MoveStack[pos.MoveCount];
    if (last.captured != 0 || last.from == 0) {
        repeated = false;
        return 0;
    }
    const int code = DetectRepetition(pos);
    repeated = code != 0;
    const int16_t win = int16_t(MateScore - int16_t(pos.Ply));
    switch (code) {
        case 2:  // black checks perpetually and loses
            return pos.SideToMove == Red ? win : int16_t(-win);
        case 3:  // red checks perpetually and loses
            return pos.SideToMove == Black ? win : int16_t(-win);
        default:  // a plain repetition, or both sides checking throughout
            return 0;
    }
}

namespace {

int16_t ScoreOfRuling(const Position& pos, Ruling ruling) {
    const int16_t win = int16_t(MateScore - int16_t(pos.Ply));
    switch (ruling) {
        case RulingRedLoses:
            return pos.SideToMove == Red ? int16_t(-win) : win;
        case RulingBlackLoses:
            return pos.SideToMove == Black ? int16_t(-win) : win;
        default:
            return 0;
    }
}

// No capture in the plies searched since the root.
bool QuietSinceRoot(const Position& pos) {
    for (uint32_t back = 0; back < pos.Ply; back++)
        if (pos.MoveStack[pos.MoveCount - back].captured) return false;
    return true;
}

}  // namespace

int16_t RuledRepetitionScore(const SearchState& state, Position& pos, bool& repeated) {
    repeated = false;
    const MoveRecord& last = pos.MoveStack[pos.MoveCount];
    if (last.captured != 0 || last.from == 0) return 0;
    // The quiet stretch that draws: counted exactly at the root, and by the
    // plies searched since (the checks among them counted too: near enough).
    if (state.modern.rootQuietPlies + pos.Ply >= StandardRules.quietPlyLimit &&
        QuietSinceRoot(pos)) {
        repeated = true;
        return 0;
    }
    if (DetectRepetition(pos) == 0) return 0;
    const GameHistory history{pos.MoveStack, pos.KeyStack, pos.MoveCount};
    // A third occurrence, the game's moves before the root counted, ends the
    // game with the referee's ruling on the moves since the first, wherever
    // the cycle began: the side that breaks the rule must see its loss.
    const uint32_t third = RepetitionStart(history, 3);
    if (third != NoRepetition) {
        repeated = true;
        return ScoreOfRuling(pos, JudgeCycle(pos, history, third, StandardRules));
    }
    const uint32_t first = RepetitionStart(history, 2);
    if (first == NoRepetition) return 0;
    const Ruling ruling = JudgeCycle(pos, history, first, StandardRules);
    const int16_t score = ScoreOfRuling(pos, ruling);
    // A cycle within the tree was chosen there by the side that breaks the
    // rule, which could have left it at its first occurrence as well as now.
    // One that began before the root is the game's own, and the side to move
    // may still leave it: a decisive ruling there settles nothing, and the
    // search goes on below it.
    const bool withinTree = first + pos.Ply >= pos.MoveCount;
    if (ruling == RulingDraw || ruling == RulingNone || withinTree) {
        repeated = true;
        return ruling == RulingNone ? 0 : score;
    }
    return 0;
}
