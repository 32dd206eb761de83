// UCI in this process: the words of "go", scores, the first-line test, and
// what "setoption" and "position" leave in the engine.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "search/time_manager.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"
#include "split_line.h"
#include "support/fen_text.h"

namespace {

TEST(UciGoLimits, ReadForTheSideToMove) {
    struct Case {
        const char* line;
        uint32_t side;
        int32_t maxDepth;
        bool timed;
        int32_t total;
        uint32_t nodes;
        bool ponder, infinite;
        int32_t moveTime;
    };
    const int32_t deepest = DeepestIteration;
    const Case cases[] = {
        {"go", 0, 20, false, 0, 0, false, false, 0},
        {"go depth 6", 0, 6, false, 0, 0, false, false, 0},
        {"go depth", 0, 1, false, 0, 0, false, false, 0},
        {"go depth junk", 0, 1, false, 0, 0, false, false, 0},
        {"go depth -3", 0, 1, false, 0, 0, false, false, 0},
        {"go wtime 1000 btime 2000 winc 10 binc 20", 0, deepest, true, 1010, 0, false, false, 0},
        {"go wtime 1000 btime 2000 winc 10 binc 20", 1, deepest, true, 2020, 0, false, false, 0},
        {"go btime 2000 binc 20 wtime 1000 winc 10 movestogo 30", 1, deepest, true, 2020, 0, false,
         false, 0},
        // Only the other side's clock: no clock for this search.
        {"go btime 2000", 0, 20, false, 0, 0, false, false, 0},
        {"go wtime junk btime", 0, deepest, true, 0, 0, false, false, 0},
        {"go wtime", 0, deepest, true, 0, 0, false, false, 0},
        {"go wtime 2147483647 winc 2147483647", 0, deepest, true, 2147483647, 0, false, false, 0},
        {"go wtime 500 depth 4", 0, 4, true, 500, 0, false, false, 0},
        {"go movetime 200", 0, deepest, false, 0, 0, false, false, 200},
        {"go movetime junk", 0, deepest, false, 0, 0, false, false, 1},
        {"go movetime -5", 0, deepest, false, 0, 0, false, false, 1},
        {"go nodes 5000", 0, deepest, false, 0, 5000, false, false, 0},
        {"go nodes junk", 0, deepest, false, 0, 0, false, false, 0},
        {"go infinite", 0, deepest, false, 0, 0, true, true, 0},
        {"go ponder wtime 900 btime 900", 1, deepest, true, 900, 0, true, false, 0},
        {"GO DEPTH 3 PONDER", 0, 3, false, 0, 0, true, false, 0},
        {"go movestogo", 0, 20, false, 0, 0, false, false, 0},
        {"go junk 5 depth 2", 0, 2, false, 0, 0, false, false, 0},
    };
    for (const Case& c : cases) {
        SplitLine line(c.line);
        const UciGoLimits go = ReadUciGoLimits(line.words, line.count, c.side);
        EXPECT_EQ(go.limits.maxDepth, c.maxDepth) << c.line;
        EXPECT_EQ(go.limits.timed, c.timed) << c.line;
        if (c.timed) {
            EXPECT_EQ(PlanTotal(go.limits), c.total) << c.line;
        }
        EXPECT_EQ(go.limits.nodes, c.nodes) << c.line;
        EXPECT_EQ(go.limits.ponder, c.ponder) << c.line;
        EXPECT_EQ(go.infinite, c.infinite) << c.line;
        EXPECT_EQ(go.limits.moveTime, c.moveTime) << c.line;
    }
}

TEST(UciScore, CentipawnsOrMovesToMate) {
    const struct {
        int32_t score;
        const char* text;
    } cases[] = {
        {0, "cp 0"},        {-37, "cp -37"},    {9949, "cp 9949"},   {-9949, "cp -9949"},
        {9999, "mate 1"},   {9997, "mate 2"},   {9996, "mate 2"},    {9950, "mate 25"},
        {-9998, "mate -1"}, {-9996, "mate -2"}, {-9950, "mate -25"}, {-10000, "mate 0"},
    };
    for (const auto& c : cases) {
        char text[32];
        FormatUciScore(c.score, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.score;
    }
}

TEST(UciFirstLine, OnlyTheWordUci) {
    const struct {
        const char* line;
        bool uci;
    } cases[] = {
        {"uci", true},   {"UCI", true},    {"  uci  ", true},     {"uci\r", true},
        {"uci x", true}, {"ucci", false},  {"ucinewgame", false}, {"", false},
        {"uc", false},   {"x uci", false}, {"uci2", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsUciCommand(c.line), c.uci) << '"' << c.line << '"';
}

class UciCommands : public InProcessEngine {
protected:
    void SetUp() override {
        InProcessEngine::SetUp();
        engine.uci = true;
    }
    // Runs one line; what it wrote to the channel and to the standard output.
    std::string Run(const std::string& text) {
        std::vector<char> line(text.begin(), text.end());
        line.push_back(0);
        testing::internal::CaptureStdout();
        EXPECT_TRUE(RunUciLine(engine, line.data())) << text;
        const std::string printed = testing::internal::GetCapturedStdout();
        return printed + ReadAvailable(output.readEnd, 0);
    }
    std::string Fen() { return FenOfPosition(engine.game); }
};

TEST_F(UciCommands, SetOptionByNameIgnoringCase) {
    struct Case {
        const char* line;
        bool useBook, historyPruning, checkInQuiescence;
    };
    // Each line runs on the state the one before it left.
    const Case cases[] = {
        {"setoption name UseBook value false", false, true, true},
        {"setoption name usebook value TRUE", true, true, true},
        {"setoption name USEBOOK value maybe", true, true, true},
        {"setoption name UseBook", true, true, true},
        {"setoption name HistoryPruning value false", true, false, true},
        {"setoption name checkinquiescence value false", true, false, false},
        {"setoption name UCI_Variant value xiangqi", true, false, false},
        {"setoption name use book value false", true, false, false},
        {"setoption UseBook value false", true, false, false},
        {"setoption name", true, false, false},
        {"setoption", true, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), "") << c.line;
        EXPECT_EQ(engine.useBook, c.useBook) << c.line;
        EXPECT_EQ(engine.search.options.historyPruning, c.historyPruning) << c.line;
        EXPECT_EQ(engine.search.options.historyReduction, c.historyPruning) << c.line;
        EXPECT_EQ(engine.search.options.checkInQuiescence, c.checkInQuiescence) << c.line;
    }
}

TEST_F(UciCommands, HashSizeAndClearHash) {
    EXPECT_EQ(Run("setoption name Hash value 16"), "");
    EXPECT_EQ(engine.search.hash.mask + 1, HashBucketsForMegabytes(16));
    EXPECT_EQ(Run("setoption name hash value junk"), "");
    EXPECT_EQ(engine.search.hash.mask + 1, HashBucketsForMegabytes(16));
    EXPECT_EQ(Run("setoption name Hash value 1"), "");
    EXPECT_EQ(engine.search.hash.mask + 1, HashBucketsForMegabytes(1));

    PrepareEngine(engine);
    LoadFen(StartFen, engine.game);
    StoreHash(engine.search.hash, engine.game, 0x1234, 5, 3, BoundExact);
    HashEntry entry;
    ASSERT_TRUE(ProbeHash(engine.search.hash, engine.game, entry));
    EXPECT_EQ(Run("setoption name clear hash"), "");
    EXPECT_FALSE(ProbeHash(engine.search.hash, engine.game, entry));
    StoreHash(engine.search.hash, engine.game, 0x1234, 5, 3, BoundExact);
    EXPECT_EQ(Run("ucinewgame"), "");
    EXPECT_FALSE(ProbeHash(engine.search.hash, engine.game, entry));
}

// Each line runs on the count the one before it left; values that are no
// number change nothing, numbers out of range are held within 1..256.
TEST_F(UciCommands, ThreadsSetTheHelperCount) {
    struct Case {
        const char* line;
        int32_t threads;
    };
    const Case cases[] = {
        {"setoption name Threads value 4", 4},
        {"setoption name threads value 2", 2},
        {"setoption name Threads value many", 2},
        {"setoption name Threads value 999", 256},
        {"setoption name Threads value 0", 1},
        {"setoption name Threads value 3", 3},
        {"setoption name Threads value -7", 1},
        {"setoption name Threads value 2x", 1},
        {"setoption name Threads", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), "") << c.line;
        EXPECT_EQ(SearchThreadCount(engine.search), c.threads) << c.line;
    }
}

TEST_F(UciCommands, PositionsPlayTheirMovesUpToTheFirstBadOne) {
    PrepareEngine(engine);
    const char* afterTwo =
        "rnbakabnr/9/1c4c2/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b - - 0 1";
    const char* afterOne = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1";
    struct Case {
        const char* line;
        const char* fen;
    };
    const Case cases[] = {
        {"position startpos moves h2e2 h7g7 h0g2", afterTwo},
        {"position startpos moves h2e2 x h7g7", afterOne},
        {"position startpos moves h2e2 h2e2x h7g7", afterOne},
        {"position startpos moves h2e2 H7g7 h7g7", afterOne},
        {"position startpos moves h2e2 a0a5 h7g7", afterOne},
        {"position startpos moves h2e2 a9a5 h7g7", afterOne},
        {"position startpos moves", StartFen},
        {"position startpos", StartFen},
        {"position fen 4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1 moves e0f0 e9d9",
         "3k5/9/9/9/9/9/9/9/9/5K3 w - - 0 1"},
        // Fewer FEN fields: "moves" still starts the moves.
        {"position fen 4k4/9/9/9/9/9/9/9/9/4K4 w moves e0f0", "4k4/9/9/9/9/9/9/9/9/5K3 b - - 0 1"},
        // The kings would face each other.
        {"position fen 4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1 moves e0e1 e9d9",
         "4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), "") << c.line;
        EXPECT_EQ(Fen(), c.fen) << c.line;
    }
    // Neither "startpos" nor "fen": the position stays.
    EXPECT_EQ(Run("position junk moves e0e1"), "");
    EXPECT_EQ(Fen(), "4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1");
}

TEST_F(UciCommands, QuietCommandsAndReplies) {
    EXPECT_EQ(Run("isready"), "readyok\n");
    EXPECT_EQ(Run("stop"), "");
    EXPECT_EQ(Run("ponderhit"), "");
    EXPECT_EQ(Run("hello world"), "");
    EXPECT_EQ(Run(""), "");
    WriteMessage(engine, "a note");
    EXPECT_EQ(ReadAvailable(output.readEnd, 0), "info string a note\n");
    std::vector<char> quit = {'q', 'u', 'i', 't', 0};
    EXPECT_FALSE(RunUciLine(engine, quit.data()));
}

}  // namespace
