// Moves from a front end: refused unless pseudo-legal and legal, and long
// games kept within the stacks.

#include <gtest/gtest.h>

#include <cstring>

#include "position/position.h"
#include "support/reference_rules.h"

namespace {

bool Play(Position& pos, const char* text) {
    MoveRecord r = ParseMoveString(text);
    return PlayGameMove(pos, r);
}

TEST(GameMoves, RefusesMovesThatAreNotPseudoLegal) {
    Position& pos = ScratchPosition(0);
    Position& copy = ScratchPosition(1);
    const char* refused[] = {
        "e5e4",  // from an empty square
        "a6a5",  // black's pawn, red to move
        "a0a3",  // onto an own piece
        "b0b2",  // not a knight move
        "b2b7",  // cannon capture without a screen
        "c3d3",  // pawn sideways before the river
        "e0e2",  // king two steps
    };
    LoadFen(StartFen, pos);
    std::memcpy(&copy, &pos, sizeof pos);
    for (const char* m : refused) {
        EXPECT_FALSE(Play(pos, m)) << m;
        EXPECT_EQ(std::memcmp(&pos, &copy, sizeof pos), 0) << m;
    }
    EXPECT_TRUE(Play(pos, "h2e2"));
    EXPECT_EQ(pos.MoveCount, 1u);
    EXPECT_EQ(CheckInvariants(pos), "");
}

TEST(GameMoves, RefusesMovesIntoCheck) {
    Position& pos = ScratchPosition();
    LoadFen("4k4/9/9/9/9/4R4/9/9/9/4K4 w - - 0 1", pos);
    EXPECT_FALSE(Play(pos, "e4d4"));
    EXPECT_EQ(pos.MoveCount, 0u);
}

// 1500 moves of a knight shuffle (one protocol line holds far fewer, so this
// is tested at the function that plays a move list).
TEST(GameMoves, LongGamesStayWithinTheStacks) {
    Position& pos = ScratchPosition(0);
    Position& start = ScratchPosition(1);
    LoadFen(StartFen, pos);
    LoadFen(StartFen, start);
    const char* cycle[4] = {"b0c2", "b9c7", "c2b0", "c7b9"};
    for (int i = 0; i < 1500; i++) {
        ASSERT_TRUE(Play(pos, cycle[i % 4])) << i;
        ASSERT_LE(pos.MoveCount, MaxGameHistory);
        ASSERT_EQ(CheckInvariants(pos), "") << i;
    }
    // 1500 is a whole number of cycles: the start position again, still
    // recognised as a repetition.
    EXPECT_EQ(std::memcmp(pos.Board, start.Board, sizeof pos.Board), 0);
    EXPECT_EQ(pos.SideToMove, Red);
    EXPECT_EQ(CurrentKey(pos), CurrentKey(start));
    EXPECT_EQ(DetectRepetition(pos), 1);
    EXPECT_EQ(pos.Ply, 0u);
}

TEST(GameMoves, TrimmingKeepsTheHistorySinceTheLastCapture) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    ASSERT_TRUE(Play(pos, "b2b9"));  // a capture
    ASSERT_TRUE(Play(pos, "a9b9"));  // and its recapture
    const char* cycle[4] = {"h0g2", "h9g7", "g2h0", "g7h9"};
    for (uint32_t i = 0; pos.MoveCount < MaxGameHistory; i++) ASSERT_TRUE(Play(pos, cycle[i % 4]));
    ASSERT_TRUE(Play(pos, cycle[(MaxGameHistory - 2) % 4]));
    // Far more than the history since the recapture: the most recent half is kept.
    EXPECT_EQ(pos.MoveCount, MaxGameHistory / 2 + 1);
    EXPECT_EQ(CheckInvariants(pos), "");

    LoadFen(StartFen, pos);
    for (uint32_t i = 0; pos.MoveCount < MaxGameHistory - 12; i++)
        ASSERT_TRUE(Play(pos, cycle[i % 4]));
    ASSERT_TRUE(Play(pos, "b2b9"));
    ASSERT_TRUE(Play(pos, "a9b9"));
    const uint32_t recapture = pos.MoveCount;
    for (uint32_t i = 0; pos.MoveCount < MaxGameHistory; i++) ASSERT_TRUE(Play(pos, cycle[i % 4]));
    const uint32_t sinceCapture = pos.MoveCount - recapture;
    ASSERT_TRUE(Play(pos, "b0c2"));
    // Only the moves since the recapture survive, with the recapture as the new base.
    EXPECT_EQ(pos.MoveCount, sinceCapture + 1);
    EXPECT_EQ(pos.MoveStack[0].from, 0u);
    EXPECT_EQ(CheckInvariants(pos), "");
}

}  // namespace
