#include "shell/go_limits.h"

#include "shell/tokenizer.h"

SearchLimits ReadGoLimits(char* const* words, int count, int32_t maxDepth) {
    SearchLimits limits{maxDepth, false, 0};
    switch (KeywordOf(WordAt(words, count, 1))) {
        case TokenDepth: {
            const char* depth = WordAt(words, count, 2);
            limits.maxDepth =
                KeywordOf(depth) == TokenInfinite ? InfiniteDepthLimit : ReadInteger(depth);
            break;
        }
        case TokenTime: {
            limits.timed = true;
            int64_t time = ReadInteger(WordAt(words, count, 2));
            int64_t increment = 0;
            for (int i = 3; i < count; i++) {
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
