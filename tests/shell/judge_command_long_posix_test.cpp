// "quillon judge" on games longer than the child channel's command line
// holds, through the shell.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "channel_test_support.h"
#include "support/reference_rules.h"

namespace {

std::string Judge(const std::string& words) {
    const std::string command = std::string(EngineProgram()) + " judge " + words;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return "cannot start";
    std::string out;
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe)) out += chunk;
    pclose(pipe);
    return out;
}

// A game of quiet moves that never repeats a position, from the start: moves
// drawn at random among those that capture nothing, give no check and lead
// to a position not seen before.
std::vector<std::string> QuietGame(int plies) {
    Position& pos = ScratchPosition(0);
    LoadFen(StartFen, pos);
    std::mt19937 rng(120);
    std::set<std::string> seen{FenOfPosition(pos)};
    std::vector<std::string> moves;
    while (int(moves.size()) < plies) {
        std::vector<RefMove> legal = RefLegalMoves(pos);
        std::shuffle(legal.begin(), legal.end(), rng);
        bool played = false;
        for (const RefMove& m : legal) {
            if (pos.Board[m.to]) continue;
            MoveRecord record = RecordOf(m.from, m.to);
            if (!MakeMove(record, pos)) continue;
            if (SideToMoveInCheck(pos) || !seen.insert(FenOfPosition(pos)).second) {
                UnmakeMove(pos);
                continue;
            }
            pos.Ply = 0;
            char text[5];
            FormatMove(m.from, m.to, text);
            moves.push_back(text);
            played = true;
            break;
        }
        if (!played) break;
    }
    return moves;
}

TEST(JudgeCommand, TheHundredAndTwentiethQuietPlyDraws) {
    const std::vector<std::string> moves = QuietGame(120);
    ASSERT_EQ(moves.size(), 120u);
    std::string words = "startpos moves";
    for (size_t i = 0; i < 119; i++) words += " " + moves[i];
    EXPECT_EQ(Judge(words), "none\n");
    EXPECT_EQ(Judge(words + " " + moves[119]), "draw\n");
}

// Nearly 2000 plies of the same horse shuffle: the position has occurred many
// times; the ruling is on the last three occurrences.
TEST(JudgeCommand, AnswersLongGames) {
    const char* cycle[4] = {"b0c2", "b9c7", "c2b0", "c7b9"};
    std::string words = "startpos moves";
    for (int i = 0; i < 1996; i++) words += std::string(" ") + cycle[i % 4];
    EXPECT_EQ(Judge(words), "draw\n");
}

}  // namespace
