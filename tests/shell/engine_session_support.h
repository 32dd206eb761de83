#pragma once
// What the end-to-end tests of a conversation with the built engine share:
// the engine started as a child program and spoken to as a front end would,
// reading its lines up to an answer, and checking the move it answers.

#include <cstdint>
#include <string>
#include <vector>

#include "support/child_channel.h"

bool StartsWith(const std::string& s, const std::string& prefix);
// Lines up to and including the first that begins with `last` (or equals
// `alsoLast`, when given); each read waits at most `ms`.
std::vector<std::string> ReadLinesUntil(LineChannel& channel, const std::string& last, int ms,
                                        const char* alsoLast = nullptr);
// The move of a "bestmove" line is one of the legal moves of the position.
bool LegalIn(const char* fen, const std::string& bestLine);
int CountPrefix(const std::vector<std::string>& lines, const std::string& prefix);

enum class Protocol { Ucci, Uci };

// A session with the engine: started, greeted in its protocol ("uci" waits
// for "uciok") and, unless `book`, told not to use its book. Closed, and the
// engine waited for, when the object goes.
struct EngineSession {
    ChildChannel child;
    bool open = false;
    explicit EngineSession(Protocol protocol = Protocol::Ucci, bool book = false);
    ~EngineSession();
    void Send(const std::string& line);
    // Lines up to and including the first that begins with `last`; when
    // waiting for a best move, a "nobestmove" stands for it. Each read waits
    // at most `ms`.
    std::vector<std::string> ReadUntil(const std::string& last, int ms = 60000);
    // Closes both pipes and returns the engine's exit code.
    int32_t Close();
};

// A whole conversation at once: the input sent, the engine's input closed,
// everything it writes until it ends (or `ms` pass).
struct Transcript {
    std::string output;
    bool ended;
    int32_t exitCode;
};
// `program` is the engine's path (the built engine when null).
Transcript RunEngine(const std::string& input, int ms, const char* program = nullptr);
