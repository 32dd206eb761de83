#include "shell/go_limits.h"

#include "shell/tokenizer.h"

SearchLimits ReadGoLimits(char* const* words, int count, int32_t maxDepth) {
    SearchLimits limits{maxDepth, false, 0, 0, false, 0};
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
            int64_t time = ReadInteger(WordAt(words, count, first + 1));
            int64_t increment = 0;
            for (int i = first + 2; i < count; i++) {
                CommandToken token = KeywordOf(words[i]);
                if (token == TokenMovesToGo) {
                    i++;  // its value does not change the plan
                } else if (token == TokenIncrement) {
                    increment = ReadInteger(WordAt(words, count, ++i));
                }
            }
            int64_t total = time + increment;
            if (total > INT32_MAX) total = INT32_MAX;
            if (total < INT32_MIN) total = INT32_MIN;
            limits.total = int32_t(total);
            break;
        }
        default:
            break;
    }
    return limits;
}
