// UCCI's reports byte for byte, from the line and the answer the search
// draws from the hash table, with the exact spacing front ends see.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel_test_support.h"
#include "search/search.h"
#include "search/search_test_support.h"
#include "search/tree.h"
#include "shell/ucci.h"
#include "support/reference_rules.h"

namespace {

Move Code(const char* text) {
    return MoveOf(ParseMoveString(text));
}

// Stores each move of the line as the exact entry of the position it is
// played in; the position is as it was on return.
void StoreLine(HashTable& table, Position& pos, const std::vector<const char*>& line, int16_t value,
               int8_t depth) {
    for (const char* m : line) {
        StoreHash(table, pos, Code(m), value, depth, BoundExact);
        MoveRecord r = ParseMoveString(m);
        ASSERT_TRUE(MakeMove(r, pos)) << m;
    }
    for (size_t i = 0; i < line.size(); i++) UnmakeMove(pos);
}

// What "go" prints after an iteration, and after the search, as the search
// draws them from the table.
void ReportDepthFromTable(LineChannel& out, const HashTable& table, int32_t depth, int32_t score,
                          Position& pos) {
    PrincipalVariation pv;
    DrawPrincipalVariation(table, pos, pv);
    ReportDepth(out, depth, score, pv);
}
void ReportBestMoveFromTable(LineChannel& out, const HashTable& table, Position& pos) {
    SearchAnswer answer{};
    DrawBestMove(table, pos, answer.best, answer.ponder);
    ReportBestMove(out, answer);
}

class Reports : public ::testing::Test {
protected:
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    LineChannel out;
    TestPipe output;
    void SetUp() override {
        output = MakeTestPipe();
        OpenOnStreams(out, NoStream, output.writeEnd);
    }
    void TearDown() override { CloseTestPipe(output); }
    std::string Written() { return ReadAvailable(output.readEnd, 0); }
};

TEST_F(Reports, BookMoveAlone) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    StoreHash(state.hash, pos, Code("h2e2"), 1000, 0, BoundExact);
    ReportDepthFromTable(out, state.hash, 0, 1000, pos);
    EXPECT_EQ(Written(), "info depth 0 score 1000 pv h2e2 \n");
    ReportBestMoveFromTable(out, state.hash, pos);
    EXPECT_EQ(Written(), "bestmove h2e2\n");
    ReportTime(out, 56, 1234);
    EXPECT_EQ(Written(), "info time 56 nodes 1234\n");
    EXPECT_EQ(CheckInvariants(pos), "");
    EXPECT_EQ(pos.MoveCount, 0u);
}

TEST_F(Reports, PrincipalVariationAndPonder) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    StoreLine(state.hash, pos, {"h2e2", "h9g7", "h0g2"}, 7, 3);
    ReportDepthFromTable(out, state.hash, 3, 7, pos);
    EXPECT_EQ(Written(), "info depth 3 score 7 pv h2e2 h9g7 h0g2 \n");
    ReportBestMoveFromTable(out, state.hash, pos);
    EXPECT_EQ(Written(), "bestmove h2e2 ponder h9g7\n");
    EXPECT_EQ(pos.MoveCount, 0u);
    EXPECT_EQ(CheckInvariants(pos), "");
}

TEST_F(Reports, PrincipalVariationStopsAtARepetition) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    StoreLine(state.hash, pos, {"b0c2", "b9c7", "c2b0", "c7b9"}, 0, 4);
    ReportDepthFromTable(out, state.hash, 4, 0, pos);
    EXPECT_EQ(Written(), "info depth 4 score 0 pv b0c2 b9c7 c2b0 c7b9 \n");
    EXPECT_EQ(pos.MoveCount, 0u);
}

TEST_F(Reports, NoMoveToReport) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    ReportBestMoveFromTable(out, state.hash, pos);  // nothing in the table
    EXPECT_EQ(Written(), "nobestmove\n");
    ReportDepthFromTable(out, state.hash, 1, 0, pos);
    EXPECT_EQ(Written(), "info depth 1 score 0 pv nobestmove\n\n");
    // An upper bound names no best move.
    StoreHash(state.hash, pos, Code("h2e2"), 5, 1, BoundUpper);
    ReportDepthFromTable(out, state.hash, 1, 5, pos);
    EXPECT_EQ(Written(), "info depth 1 score 5 pv nobestmove\n\n");
    // A root without a legal, unbanned move keeps move 0: never a made-up move.
    StoreHash(state.hash, pos, 0, -MateScore, 3, BoundExact);
    ReportBestMoveFromTable(out, state.hash, pos);
    EXPECT_EQ(Written(), "nobestmove\n");
    ReportDepthFromTable(out, state.hash, 3, -MateScore, pos);
    EXPECT_EQ(Written(), "info depth 3 score -10000 pv nobestmove\n\n");
}

TEST_F(Reports, ProbeForms) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    StoreHash(state.hash, pos, Code("h2e2"), 10, 5, BoundExact);
    ReportProbe(out, state, pos);
    EXPECT_EQ(Written(), "pophash bestmove h2e2 lowerbound 10 depth 5  upperbound 10 depth 5  \n");
    ResetSearchTables(state);
    StoreHash(state.hash, pos, Code("h2e2"), -8, 6, BoundLower);
    ReportProbe(out, state, pos);
    EXPECT_EQ(Written(), "pophash bestmove h2e2 lowerbound -8 depth 6   \n");
    ResetSearchTables(state);
    StoreHash(state.hash, pos, Code("h2e2"), 12, 2, BoundUpper);
    ReportProbe(out, state, pos);
    EXPECT_EQ(Written(), "pophash upperbound 12 depth 2  \n");
}

// Not in the table: the quiescence value, counted as if the position were a
// root, however many moves the probe played.
TEST_F(Reports, ProbeOutsideTheTableUsesQuiescence) {
    Position& pos = ScratchPosition();
    LoadFen("3k5/9/8r/1n7/4p4/1R2p4/8P/8C/9/4K4 w - - 0 1", pos);
    const int expected = Quiesce(state, pos, -MateScore, MateScore, 0);
    ReportProbe(out, state, pos);
    EXPECT_EQ(Written(), "pophash lowerbound " + std::to_string(expected) + " depth 0 upperbound " +
                             std::to_string(expected) + " depth 0\n");
    // A mated position reached after moves: the mate is counted from the
    // probed position itself, not from the moves that led there.
    LoadFen("R3k4/8R/9/9/9/9/9/9/9/3K5 b - - 0 1", pos);
    pos.Ply = 7;
    ReportProbe(out, state, pos);
    EXPECT_EQ(Written(), "pophash lowerbound -10000 depth 0 upperbound -10000 depth 0\n");
    EXPECT_EQ(pos.Ply, 7u);
}

}  // namespace
