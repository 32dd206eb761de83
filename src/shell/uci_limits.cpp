// The limits of a UCI "go": the clock of the side to move, a move time, a
// depth, a node count, a mate to find, or none until "stop"; and the root
// moves to choose from.

#include "shell/tokenizer.h"
#include "shell/uci.h"

UciGoLimits ReadUciGoLimits(char* const* words, int count, uint32_t sideToMove) {
    UciGoLimits go{SearchLimits{}, false, 0};
    go.limits.maxDepth = DefaultDepthLimit;
    int32_t time[2] = {0, 0}, increment[2] = {0, 0};
    bool clock = false, depthGiven = false, unbounded = false;
    for (int i = 1; i < count; i++) {
        const CommandToken token = KeywordOf(words[i]);
        // Every keyword but "infinite" and "ponder" takes the next word as its number.
        const int32_t number = ReadInteger(WordAt(words, count, i + 1));
        switch (token) {
            case TokenWhiteTime:
            case TokenBlackTime:
                time[token == TokenBlackTime] = number;
                clock = clock || (token == TokenBlackTime) == (sideToMove == 1);
                i++;
                break;
            case TokenWhiteIncrement:
            case TokenBlackIncrement:
                increment[token == TokenBlackIncrement] = number;
                i++;
                break;
            case TokenMoveTime:
                // A move time of 0 or less ends the search as soon as it can.
                go.limits.moveTime = number > 0 ? number : 1;
                unbounded = true;
                i++;
                break;
            case TokenDepth:
                go.limits.maxDepth = number > 0 ? number : 1;
                depthGiven = true;
                i++;
                break;
            case TokenNodes:
                go.limits.nodes = number > 0 ? uint32_t(number) : 0;
                unbounded = true;
                i++;
                break;
            case TokenMovesToGo:
                go.limits.movesToGo = number;
                i++;
                break;
            case TokenInfinite:
                go.infinite = true;
                unbounded = true;
                break;
            case TokenPonder:
                go.limits.ponder = true;
                break;
            case TokenMate:
                go.mate = number > 0 ? number : 1;
                go.limits.mate = go.mate;
                unbounded = true;
                i++;
                break;
            case TokenSearchMoves:
                for (; i + 1 < count && IsMoveText(words[i + 1]); i++) {
                    if (go.limits.searchMoveCount == MaxGeneratedMoves) continue;
                    go.limits.searchMoves[go.limits.searchMoveCount++] =
                        MoveOf(ParseMoveString(words[i + 1]));
                }
                break;
            default:
                break;
        }
    }
    const uint32_t side = sideToMove == 1 ? 1 : 0;
    if (clock) {
        go.limits.timed = true;
        go.limits.timeLeft = time[side];
        go.limits.increment = increment[side];
    }
    // Only a depth keeps a clock, a move time, a node limit, a mate search or
    // "infinite" shallow.
    if ((clock || unbounded) && !depthGiven) go.limits.maxDepth = DeepestIteration;
    // Waiting for "stop" is the pondering search's wait.
    if (go.infinite) go.limits.ponder = true;
    return go;
}
