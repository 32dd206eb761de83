// "go" end to end: the built quillon searching as a front end sees it, every
// read with a deadline and every best move checked against the legal moves.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "channel_test_support.h"
#include "engine_session_support.h"
#include "support/reference_rules.h"

namespace {

TEST(UcciSearch, DepthLimitedSearch) {
    EngineSession engine;
    ASSERT_TRUE(engine.open);
    engine.Send("go depth 4");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(CountPrefix(lines, "info depth "), 4);
    EXPECT_EQ(CountPrefix(lines, "info time "), 4);
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();

    engine.Send("go depth 0");
    lines = engine.ReadUntil("nobestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "nobestmove");
    EXPECT_EQ(CountPrefix(lines, "info"), 0);

    // The depth limit persists: a plain "go" searches to depth 0 again.
    engine.Send("go");
    lines = engine.ReadUntil("nobestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "nobestmove");

    engine.Send("position fen 4k4/9/9/9/9/9/9/9/9/R2K4R w - - 0 1");
    engine.Send("go depth 3");
    lines = engine.ReadUntil("bestmove");
    EXPECT_TRUE(LegalIn("4k4/9/9/9/9/9/9/9/9/R2K4R w - - 0 1", lines.back())) << lines.back();
}

TEST(UcciSearch, StopDuringADeepSearch) {
    EngineSession engine;
    ASSERT_TRUE(engine.open);
    engine.Send("go depth 20");
    engine.Send("stop");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
    EXPECT_TRUE(StartsWith(lines[lines.size() - 2], "info time ")) << lines[lines.size() - 2];
    for (const std::string& l : lines) EXPECT_EQ(l.find("score -30000"), std::string::npos) << l;
    EXPECT_GE(CountPrefix(lines, "info depth "), 5);
}

TEST(UcciSearch, StopAfterAShallowSearchIsAnsweredByTheLoop) {
    EngineSession engine;
    ASSERT_TRUE(engine.open);
    engine.Send("go depth 3");
    engine.Send("stop");
    std::vector<std::string> lines = engine.ReadUntil("Engine is not running.");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Engine is not running.");
    EXPECT_EQ(CountPrefix(lines, "bestmove "), 1);
}

// A small clock in a position with deep iterations: the backstop ends the
// iteration that would run far past the allotment.
TEST(UcciSearch, TimedSearchAnswersInTime) {
    EngineSession engine;
    ASSERT_TRUE(engine.open);
    const char* fen = "r1bakab1r/9/1cn4c1/p1p1n1p1p/4N4/2N6/P1P1P1P1P/1C5C1/9/R1BAKAB1R w - - 0 1";
    engine.Send(std::string("position fen ") + fen);
    const auto start = std::chrono::steady_clock::now();
    engine.Send("go time 2000 increment 0");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(fen, lines.back())) << lines.back();
    // The backstop is a quarter of the 2000 ms; the rest is a generous margin
    // for the first five iterations, which cannot be interrupted.
    EXPECT_LT(ms, 500 + 2500);
}

TEST(UcciSearch, ProbeAfterASearch) {
    EngineSession engine;
    ASSERT_TRUE(engine.open);
    engine.Send("go depth 2");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    engine.Send("probe");
    lines = engine.ReadUntil("pophash");
    ASSERT_FALSE(lines.empty());
    // The start position is the probe's position, and the search stored its root.
    EXPECT_TRUE(StartsWith(lines.back(), "pophash bestmove ")) << lines.back();
}

// A game of 201 plies is longer than 1023 bytes: read whole, it leaves black
// to move, and the answer is black's.
TEST(UcciSearch, AGameOfTwoHundredAndOnePliesIsReadWhole) {
    EngineSession engine;
    ASSERT_TRUE(engine.open);
    std::string line = "position startpos moves";
    for (int i = 0; i < 50; i++) line += " b0c2 b9c7 c2b0 c7b9";
    line += " h2e2";
    ASSERT_GT(line.size(), 1023u);
    engine.Send(line);
    engine.Send("go depth 1");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1",
                        lines.back()))
        << lines.back();
}

// In check with one reply, that reply is played even when banned: the single
// reply is answered before the banned list is consulted.
TEST(UcciSearch, ABannedSingleReplyIsStillPlayed) {
    EngineSession engine;
    ASSERT_TRUE(engine.open);
    engine.Send("position fen 5k3/9/9/9/4r4/9/9/9/9/4K4 w - - 0 1");
    engine.Send("go depth 2");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "bestmove e0d0");
    engine.Send("banmoves e0d0");
    engine.Send("go depth 2");
    lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "bestmove e0d0");
}

// The start position is in the shipped book: "go" answers at once with a
// book move, reported at depth 0 with the book's score, banned or not.
TEST(UcciSearch, BookAnswersTheStartPosition) {
    EngineSession engine(Protocol::Ucci, true);
    ASSERT_TRUE(engine.open);
    engine.Send("banmoves h2e2 c3c4 g0e2 h0g2 b0c2 g3g4");
    engine.Send("go depth 8");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_GE(lines.size(), 3u);
    const std::string& best = lines.back();
    EXPECT_TRUE(LegalIn(StartFen, best)) << best;
    EXPECT_EQ(best.size(), 13u) << best;  // no ponder move: the table holds nothing else
    const std::string move = best.substr(9, 4);
    EXPECT_EQ(lines[lines.size() - 2], "info depth 0 score 1000 pv " + move + " ");
    EXPECT_TRUE(StartsWith(lines[lines.size() - 3], "info time ")) << lines[lines.size() - 3];
    EXPECT_EQ(CountPrefix(lines, "info depth "), 1);
}

// The front end goes away in the middle of a search: the engine stops,
// answers and leaves by itself.
TEST(UcciSearch, EndOfInputStopsTheSearch) {
    ChildChannel engine;
    ASSERT_TRUE(OpenChildChannel(engine, EngineProgram()));
    WriteChannel(engine.channel, "setoption usebook false\ngo depth 30\n");
    CloseChildInput(engine);
    bool ended = false;
    std::vector<std::string> lines = ReadLinesToEnd(engine.channel, 60000, &ended);
    CloseChildChannel(engine);
    EXPECT_TRUE(ended);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
    EXPECT_EQ(engine.exitCode, 0);
}

}  // namespace
