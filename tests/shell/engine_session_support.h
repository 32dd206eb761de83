#pragma once
// What the end-to-end tests of a conversation with the built engine share:
// reading its lines up to an answer, and checking the move it answers.

#include <string>
#include <vector>

#include "shell/line_channel.h"

bool StartsWith(const std::string& s, const std::string& prefix);
// Lines up to and including the first that begins with `last` (or equals
// `alsoLast`, when given); each read waits at most `ms`.
std::vector<std::string> ReadLinesUntil(LineChannel& channel, const std::string& last, int ms,
                                        const char* alsoLast = nullptr);
// The move of a "bestmove" line is one of the legal moves of the position.
bool LegalIn(const char* fen, const std::string& bestLine);
int CountPrefix(const std::vector<std::string>& lines, const std::string& prefix);
