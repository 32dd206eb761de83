// "quillon judge" end to end: the built engine started with the words of a
// game, its one line and its exit code. (Games longer than a child's command
// line holds: judge_command_long_posix_test.cpp.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel_test_support.h"
#include "support/child_channel.h"

namespace {

struct JudgeAnswer {
    std::vector<std::string> lines;
    int exitCode;
};

JudgeAnswer Judge(const std::string& words) {
    JudgeAnswer answer{{}, -1};
    ChildChannel child;
    if (!OpenChildChannel(child, (std::string(EngineProgram()) + " judge " + words).c_str()))
        return answer;
    CloseChildInput(child);
    bool ended = false;
    answer.lines = ReadLinesToEnd(child.channel, 20000, &ended);
    CloseChildChannel(child);
    answer.exitCode = ended ? child.exitCode : -1;
    return answer;
}

struct JudgeCase {
    const char* words;
    const char* line;
    int exitCode;
};

TEST(JudgeCommand, RulesOnTheLastPosition) {
    const JudgeCase cases[] = {
        // The horse chases the protected rook: red loses on the third occurrence.
        {"2rk5/9/9/2r6/1N7/9/9/9/9/4K4 w - - 0 1 moves b5d4 c6c7 d4b5 c7c6 b5d4 c6c7 d4b5 c7c6",
         "red loses", 0},
        {"2rk5/9/9/2r6/1N7/9/9/9/9/4K4 w - - 0 1 moves b5d4 c6c7 d4b5 c7c6 b5d4 c6c7 d4b5", "none",
         0},
        // Black's rook chases the unprotected horse.
        {"9/1C3k3/9/3r5/1R7/9/3N2n2/2c6/4K4/9 w - - 0 1 moves d3f4 d6f6 f4d3 f6d6 d3f4 d6f6 "
         "f4d3 f6d6",
         "black loses", 0},
        // The rook chases a protected horse.
        {"5kb2/9/n8/2n6/9/9/9/4R4/9/3K5 w - - 0 1 moves e2c2 c6e7 c2e2 e7c6 e2c2 c6e7 c2e2 e7c6",
         "draw", 0},
        // Perpetual check.
        {"1rn1k4/8R/2c6/4C4/5N3/9/9/9/4K4/9 w - - 0 1 moves i8i9 e9e8 i9i8 e8e9 i8i9 e9e8 i9i8 "
         "e8e9",
         "red loses", 0},
        {"startpos moves b0c2 b9c7 c2b0 c7b9 b0c2 b9c7 c2b0 c7b9", "draw", 0},
        {"startpos", "none", 0},
        {"R3k4/R8/9/9/9/9/9/9/9/3K5 b", "black loses", 0},  // mated
        // Illegal moves: badly written, not a move of the piece, into check.
        {"startpos moves h2e2 h9g7 x", "illegal move x at ply 3", 1},
        {"startpos moves h2e2 h2e3", "illegal move h2e3 at ply 2", 1},
        {"4k4/9/9/9/9/4R4/9/9/9/4K4 w moves e4d4", "illegal move e4d4 at ply 1", 1},
        // A placement no game reaches is judged not at all.
        {"4k4/9/9/9/9/4R4/9/9/9/K8 w moves a0a1", "illegal position", 1},
    };
    for (const JudgeCase& c : cases) {
        const JudgeAnswer answer = Judge(c.words);
        EXPECT_EQ(answer.lines, std::vector<std::string>{c.line}) << c.words;
        EXPECT_EQ(answer.exitCode, c.exitCode) << c.words;
    }
}

}  // namespace
