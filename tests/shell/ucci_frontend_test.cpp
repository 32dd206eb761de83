// What UCCI front ends and league runners send beyond the basic commands,
// end to end against the built quillon: isready, startpos, node limits,
// pondering, quit during a search, and the hash size.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "channel_test_support.h"
#include "engine_session_support.h"
#include "support/reference_rules.h"

namespace {

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint32_t LastNodeCount(const std::vector<std::string>& lines) {
    uint32_t nodes = 0;
    for (const std::string& l : lines)
        if (StartsWith(l, "info time "))
            nodes = uint32_t(std::stoul(l.substr(l.find("nodes ") + 6)));
    return nodes;
}

TEST(UcciFrontEnd, IsReadyWhenIdleAndDuringADeepSearch) {
    EngineSession fe;
    ASSERT_TRUE(fe.open);
    fe.Send("isready");
    std::vector<std::string> lines = fe.ReadUntil("readyok");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "debug info=[isready]");
    fe.Send("go depth 30");
    fe.Send("isready");
    lines = fe.ReadUntil("readyok", 20000);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "readyok");
    for (const std::string& l : lines) EXPECT_FALSE(StartsWith(l, "bestmove")) << l;
    fe.Send("stop");
    lines = fe.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
}

TEST(UcciFrontEnd, StartposEqualsItsFen) {
    const char* const forms[] = {
        "startpos moves h2e2 h9g7",
        "fen rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1 moves h2e2 h9g7",
    };
    std::string answers[2];
    for (int i = 0; i < 2; i++) {
        EngineSession fe;
        ASSERT_TRUE(fe.open);
        fe.Send(std::string("position ") + forms[i]);
        fe.Send("go depth 4");
        fe.ReadUntil("bestmove");
        fe.Send(std::string("probe ") + forms[i]);
        const std::vector<std::string> lines = fe.ReadUntil("pophash");
        ASSERT_FALSE(lines.empty());
        answers[i] = lines.back();
    }
    EXPECT_TRUE(StartsWith(answers[0], "pophash bestmove ")) << answers[0];
    EXPECT_EQ(answers[0], answers[1]);
}

TEST(UcciFrontEnd, NodeLimitEndsWithTheLastCompletedAnswer) {
    EngineSession fe;
    ASSERT_TRUE(fe.open);
    fe.Send("go nodes 5000");
    std::vector<std::string> lines = fe.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
    const uint32_t nodes = LastNodeCount(lines);
    EXPECT_GE(nodes, 5000u);
    EXPECT_LE(nodes, 5200u);
    // Limits of 0 or less, or none, are no limit: the depth decides.
    for (const char* line : {"go depth 3 nodes 0", "go depth 3 nodes -9", "go depth 3 nodes"}) {
        fe.Send(line);
        lines = fe.ReadUntil("bestmove");
        ASSERT_FALSE(lines.empty()) << line;
        int depthLines = 0;
        for (const std::string& l : lines) depthLines += StartsWith(l, "info depth ");
        EXPECT_EQ(depthLines, 3) << line;
    }
    // A limit below the first iteration's nodes still gives a move.
    fe.Send("go depth 5 nodes 1");
    lines = fe.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
}

TEST(UcciFrontEnd, PonderThenPonderhitAnswersWithinItsClock) {
    EngineSession fe;
    ASSERT_TRUE(fe.open);
    fe.Send("go ponder time 2000 increment 0");
    // Pondering ignores the clock: no answer within twice the backstop.
    std::vector<std::string> lines = fe.ReadUntil("bestmove", 1200);
    for (const std::string& l : lines) ASSERT_FALSE(StartsWith(l, "bestmove")) << l;
    const int64_t hit = NowMs();
    fe.Send("ponderhit");
    lines = fe.ReadUntil("bestmove", 5000);
    const int64_t took = NowMs() - hit;
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
    EXPECT_LT(took, 1500);  // a quarter of the time is the most a move may use
}

TEST(UcciFrontEnd, PonderThenStopAnswers) {
    EngineSession fe;
    ASSERT_TRUE(fe.open);
    fe.Send("go ponder depth 3");  // done long before the stop, yet it waits
    std::vector<std::string> lines = fe.ReadUntil("bestmove", 600);
    for (const std::string& l : lines) ASSERT_FALSE(StartsWith(l, "bestmove")) << l;
    fe.Send("stop");
    lines = fe.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
    // "ponderhit" when not pondering, and "draw", change nothing.
    fe.Send("ponderhit draw");
    fe.Send("go draw depth 2");
    lines = fe.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
}

// A book move found while pondering waits, like a search, for the move
// pondered on to be played.
TEST(UcciFrontEnd, PonderingInTheBookWaitsForPonderhit) {
    EngineSession fe;
    ASSERT_TRUE(fe.open);
    fe.Send("setoption usebook true");
    fe.Send("go ponder time 60000");
    std::vector<std::string> lines = fe.ReadUntil("bestmove", 500);
    for (const std::string& l : lines) ASSERT_FALSE(StartsWith(l, "bestmove")) << l;
    fe.Send("ponderhit");
    lines = fe.ReadUntil("bestmove", 5000);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
}

TEST(UcciFrontEnd, QuitDuringASearchAnswersThenEnds) {
    EngineSession fe;
    ASSERT_TRUE(fe.open);
    fe.Send("go depth 30");
    fe.Send("quit");
    bool ended = false;
    const std::vector<std::string> lines = ReadLinesToEnd(fe.child.channel, 20000, &ended);
    ASSERT_TRUE(ended);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "bye");
    EXPECT_TRUE(LegalIn(StartFen, lines[lines.size() - 2])) << lines[lines.size() - 2];
    EXPECT_EQ(fe.Close(), 0);
}

TEST(UcciFrontEnd, HashSizesThenSearch) {
    EngineSession fe;
    ASSERT_TRUE(fe.open);
    for (const char* size : {"1", "64", "junk", "", "0", "-3"}) {
        fe.Send(std::string("setoption hashsize ") + size);
        fe.Send("go depth 5");
        const std::vector<std::string> lines = fe.ReadUntil("bestmove");
        ASSERT_FALSE(lines.empty()) << size;
        EXPECT_TRUE(LegalIn(StartFen, lines.back())) << size << ": " << lines.back();
        for (const std::string& l : lines) EXPECT_FALSE(StartsWith(l, "info hash")) << l;
    }
    fe.Send("setoption newgame");
    fe.Send("probe");
    const std::vector<std::string> lines = fe.ReadUntil("pophash");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(StartsWith(lines.back(), "pophash lowerbound ")) << lines.back();
}

}  // namespace
