// The limits of a UCCI "go": a depth, or a clock with an optional increment.

#include "shell/tokenizer.h"
#include "shell/ucci.h"

namespace {

// A time as the front end gave it, in milliseconds.
int32_t Milliseconds(int32_t value, bool millisec) {
    if (millisec) return value;
    const int64_t ms = int64_t(value) * 1000;
    if (ms > INT32_MAX) return INT32_MAX;
    if (ms < INT32_MIN) return INT32_MIN;
    return int32_t(ms);
}

}  // namespace

SearchLimits ReadUcciGoLimits(char* const* words, int count, int32_t maxDepth, bool millisec) {
    SearchLimits limits;
    limits.maxDepth = maxDepth;
    // "ponder" and "draw" may come first; Quillon never offers a draw.
    int first = 1;
    for (;; first++) {
        const CommandToken token = KeywordOf(WordAt(words, count, first));
        if (token == TokenPonder) {
            limits.ponder = true;
        } else if (token != TokenDraw) {
            break;
        }
    }
    // "nodes N" anywhere: a limit of 0 or less is none.
    for (int i = first; i < count; i++) {
        if (KeywordOf(words[i]) != TokenNodes) continue;
        const int32_t nodes = ReadInteger(WordAt(words, count, ++i));
        limits.nodes = nodes > 0 ? uint32_t(nodes) : 0;
    }
    switch (KeywordOf(WordAt(words, count, first))) {
        case TokenDepth: {
            const char* depth = WordAt(words, count, first + 1);
            limits.maxDepth =
                KeywordOf(depth) == TokenInfinite ? InfiniteDepthLimit : ReadInteger(depth);
            break;
        }
        case TokenTime: {
            limits.timed = true;
            limits.timeLeft = Milliseconds(ReadInteger(WordAt(words, count, first + 1)), millisec);
            for (int i = first + 2; i < count; i++) {
                const CommandToken token = KeywordOf(words[i]);
                if (token == TokenMovesToGo) {
                    limits.movesToGo = ReadInteger(WordAt(words, count, ++i));
                } else if (token == TokenIncrement) {
                    limits.increment =
                        Milliseconds(ReadInteger(WordAt(words, count, ++i)), millisec);
                }
            }
            break;
        }
        default:
            break;
    }
    return limits;
}
