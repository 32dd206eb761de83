// Perft counts from the data file beside this test, and the small ones
// recounted with the slow reference rules.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "check/check.h"
#include "position/position.h"
#include "support/reference_rules.h"

namespace {

TEST(Perft, KnownCounts) {
    std::ifstream file(QUILLON_SOURCE_DIR "/tests/check/perft_positions.txt");
    ASSERT_TRUE(file.good());
    Position& pos = ScratchPosition();
    std::string line;
    int cases = 0;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        int depth;
        uint64_t expected;
        in >> depth >> expected;
        std::string fen;
        std::getline(in >> std::ws, fen);
        LoadFen(fen.c_str(), pos);
        EXPECT_EQ(Perft(pos, depth), expected) << line;
        if (expected <= 50000) {
            EXPECT_EQ(RefPerft(pos, depth), expected) << line;
        }
        EXPECT_EQ(pos.MoveCount, 0u);
        cases++;
    }
    EXPECT_GE(cases, 30);
}

}  // namespace
