#pragma once
// Talking to an engine process, for the game loop.

#include <cstdint>
#include <string>

#include "support/match/match.h"

enum LineStatus : uint8_t { LineRead, LineEnded, LineLate };
// The next whole line from the engine, waiting until `deadlineMs` (on the
// steady clock, in milliseconds).
LineStatus NextLine(EnginePlayer& player, std::string& line, int64_t deadlineMs);

enum AnswerKind : uint8_t { AnswerMove, AnswerNoMove, AnswerEnded, AnswerSilent };
struct Answer {
    AnswerKind kind;
    std::string move;
    int64_t elapsedMs;
};
// Sends the position and go lines and waits up to `waitMs` for the move.
Answer AskForMove(EnginePlayer& player, const std::string& position, const std::string& go,
                  int64_t waitMs);
