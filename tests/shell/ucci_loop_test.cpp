// The command loop in this process: its engine channel on pipes, so that the
// state each command leaves can be looked at directly.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "channel_test_support.h"
#include "shell/engine.h"
#include "shell/ucci.h"

namespace {

class CommandLoop : public ::testing::Test {
protected:
    const std::unique_ptr<Engine> owned{new Engine};
    Engine& engine = *owned;
    TestPipe input;
    TestPipe output;
    void SetUp() override {
        input = MakeTestPipe();
        output = MakeTestPipe();
        ASSERT_TRUE(InitEngine(engine));
        OpenOnStreams(engine.channel, input.readEnd, output.writeEnd);
    }
    void TearDown() override {
        CloseTestPipe(input);
        CloseTestPipe(output);
    }
    // Runs one line and returns what it wrote; `goesOn` is RunUcciLine's answer.
    std::string Run(const std::string& text, bool* goesOn = nullptr) {
        char line[1024];
        std::strcpy(line, text.c_str());
        bool result = RunUcciLine(engine, line);
        if (goesOn != nullptr) *goesOn = result;
        return ReadAvailable(output.readEnd, 0);
    }
    std::string Polled(bool* stop) {
        *stop = PollDuringSearch(engine) == PollStop;
        return ReadAvailable(output.readEnd, 0);
    }
};

TEST_F(CommandLoop, OptionsSwitchOnlyOnTrueOrFalse) {
    struct Case {
        const char* line;
        bool useBook, historyPruning, historyReduction, checkInQuiescence;
    };
    // Each line runs on the state the one before it left.
    const Case cases[] = {
        {"setoption usebook false", false, true, true, true},
        {"setoption usebook true", true, true, true, true},
        {"setoption usebook FALSE", false, true, true, true},
        {"setoption usebook maybe", false, true, true, true},
        {"setoption usebook", false, true, true, true},
        {"setoption usebook 1", false, true, true, true},
        {"setoption use_history_pruning false", false, false, false, true},
        {"setoption check_in_quiescence false", false, false, false, false},
        {"setoption usemillisec true", false, false, false, false},
        {"setoption true usebook", false, false, false, false},
        {"setoption Check_In_Quiescence True", false, false, false, true},
        {"setoption use_history_pruning true extra", false, true, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), std::string("debug info=[") + c.line + "]\n");
        EXPECT_EQ(engine.useBook, c.useBook) << c.line;
        EXPECT_EQ(engine.search.options.historyPruning, c.historyPruning) << c.line;
        EXPECT_EQ(engine.search.options.historyReduction, c.historyReduction) << c.line;
        EXPECT_EQ(engine.search.options.checkInQuiescence, c.checkInQuiescence) << c.line;
    }
}

// The advertised usemillisec option is honoured: false makes the clock's
// times seconds, for the "go" lines that follow.
TEST_F(CommandLoop, UseMillisecSwitchesTheClocksUnit) {
    EXPECT_TRUE(engine.useMillisec);
    const struct {
        const char* line;
        bool millisec;
    } cases[] = {
        {"setoption usemillisec false", false}, {"setoption usemillisec maybe", false},
        {"setoption USEMILLISEC true", true},   {"setoption usemillisec FALSE", false},
        {"setoption usemillisec", false},
    };
    for (const auto& c : cases) {
        Run(c.line);
        EXPECT_EQ(engine.useMillisec, c.millisec) << c.line;
    }
}

TEST_F(CommandLoop, BannedMovesFillTheListUpToItsRoomAndLastOneGo) {
    std::string line = "banmoves";
    for (int i = 0; i < 150; i++) line += " h2e2";
    Run(line);
    EXPECT_EQ(engine.search.bans.count, BanListCapacity);
    Run("banmoves h2e2 h9g7");
    EXPECT_EQ(engine.search.bans.count, 2);
    Run("banmoves");
    EXPECT_EQ(engine.search.bans.count, 0);
    Run("banmoves h2e2 h9g7");
    Run("go depth 1");
    EXPECT_EQ(engine.search.bans.count, 0);
}

TEST_F(CommandLoop, BannedMovesAreStoredAsToTimes256PlusFrom) {
    Run("banmoves h2e2 h9g7 a0i9");
    ASSERT_EQ(engine.search.bans.count, 3);
    EXPECT_EQ(engine.search.bans.moves[0], 123u * 256 + 126);
    EXPECT_EQ(engine.search.bans.moves[1], 60u * 256 + 35);
    EXPECT_EQ(engine.search.bans.moves[2], 36u * 256 + 145);
    EXPECT_TRUE(IsBanned(engine.search.bans, MoveCode(126, 123)));
    EXPECT_FALSE(IsBanned(engine.search.bans, MoveCode(123, 126)));
}

TEST_F(CommandLoop, IsBannedLooksOnlyAtTheValidEntries) {
    engine.search.bans.count = 2;
    engine.search.bans.moves[0] = 0x7B7E;
    engine.search.bans.moves[1] = 0x3824;
    engine.search.bans.moves[2] = 0x1111;
    EXPECT_TRUE(IsBanned(engine.search.bans, 0x7B7E));
    EXPECT_TRUE(IsBanned(engine.search.bans, 0x3824));
    EXPECT_FALSE(IsBanned(engine.search.bans, 0x1111));
    EXPECT_FALSE(IsBanned(engine.search.bans, 0));
    engine.search.bans.count = 0;
    EXPECT_FALSE(IsBanned(engine.search.bans, 0x7B7E));
}

TEST_F(CommandLoop, QuitNeedsABootedEngine) {
    bool goesOn = false;
    EXPECT_EQ(Run("quit", &goesOn), "debug info=[quit]\nEngine do not boot\n");
    EXPECT_TRUE(goesOn);
    Run("ucci");
    EXPECT_EQ(Run("QUIT", &goesOn), "debug info=[QUIT]\nbye\n");
    EXPECT_FALSE(goesOn);
}

// A "go" boots the engine, but the first "ucci" still gets its whole reply:
// a front end waits for "ucciok". A second one gets nothing.
TEST_F(CommandLoop, GoBeforeUcciBootsTheEngine) {
    Run("setoption usebook false");
    EXPECT_EQ(Run("go depth 0"), "debug info=[go depth 0]\nnobestmove\n");
    const std::string reply = Run("ucci");
    EXPECT_EQ(reply.rfind("debug info=[ucci]\nid name Quillon 1.0\n", 0), 0u) << reply;
    EXPECT_NE(reply.find("\nucciok\n"), std::string::npos) << reply;
    EXPECT_EQ(Run("ucci"), "debug info=[ucci]\n");
    bool goesOn = true;
    EXPECT_EQ(Run("quit", &goesOn), "debug info=[quit]\nbye\n");
    EXPECT_FALSE(goesOn);
}

TEST_F(CommandLoop, GoStartsAFreshCount) {
    engine.search.stopped = true;
    engine.search.nodes = 12345;
    Run("go depth 0");
    EXPECT_FALSE(engine.search.stopped);
    EXPECT_EQ(engine.search.nodes, 0u);
}

// The board and the side to move, as bytes to compare.
std::string BoardOf(const Position& pos) {
    return std::string(reinterpret_cast<const char*>(pos.Board), sizeof pos.Board) +
           char('0' + pos.SideToMove);
}

std::string BoardOf(const char* fen) {
    static Position pos;
    LoadFen(fen, pos);
    return BoardOf(pos);
}

const char OtherFen[] = "4k4/9/9/9/9/9/9/9/9/4K4 b - - 0 1";

TEST_F(CommandLoop, PositionNeedsABootedEngineAndFen) {
    Run(std::string("position fen ") + OtherFen);
    Run("go depth 0");  // no position was set: the start position
    EXPECT_EQ(BoardOf(engine.game), BoardOf(StartFen));
    Run(std::string("position ") + OtherFen);
    EXPECT_EQ(BoardOf(engine.game), BoardOf(StartFen));
    Run(std::string("position fen ") + OtherFen);
    EXPECT_EQ(BoardOf(engine.game), BoardOf(OtherFen));
    Run("go depth 0");  // searching leaves the position as it was
    EXPECT_EQ(BoardOf(engine.game), BoardOf(OtherFen));
}

TEST_F(CommandLoop, ProbingNeverTouchesTheGamePosition) {
    Run("ucci");
    Run(std::string("position fen ") + OtherFen);
    Run("probe");  // before any "probe fen": the start position
    EXPECT_EQ(BoardOf(engine.probe), BoardOf(StartFen));
    Run(std::string("probe fen ") + StartFen + " moves h2e2");
    EXPECT_EQ(engine.probe.MoveCount, 1u);
    Run("probe");  // keeps what the last "probe fen" loaded
    EXPECT_EQ(engine.probe.MoveCount, 1u);
    EXPECT_EQ(BoardOf(engine.game), BoardOf(OtherFen));
    EXPECT_EQ(engine.game.MoveCount, 0u);
}

TEST_F(CommandLoop, PollStopReadsOneLineAndEchoesIt) {
    bool stop = true;
    EXPECT_EQ(Polled(&stop), "");
    EXPECT_FALSE(stop);
    WriteAllTo(input.writeEnd, "go depth 5\nucci\nStop\nstop");
    EXPECT_EQ(Polled(&stop), "debug info=[go depth 5]\n");
    EXPECT_FALSE(stop);
    EXPECT_EQ(Polled(&stop), "debug info=[ucci]\n");
    EXPECT_FALSE(stop);
    EXPECT_EQ(Polled(&stop), "debug info=[Stop]\n");
    EXPECT_TRUE(stop);
    EXPECT_EQ(Polled(&stop), "");  // "stop" without its line feed is not a line yet
    EXPECT_FALSE(stop);
}

// During a search: "isready" is answered and the search goes on; "ponderhit"
// is passed on; "quit" ends the search and marks the engine to end.
TEST_F(CommandLoop, PollingAnswersIsReadyAndPassesOnPonderhitAndQuit) {
    WriteAllTo(input.writeEnd, "isready\nPONDERHIT\nponderhit draw\nquit\n");
    EXPECT_EQ(PollDuringSearch(engine), PollContinue);
    EXPECT_EQ(ReadAvailable(output.readEnd, 0), "debug info=[isready]\nreadyok\n");
    EXPECT_EQ(PollDuringSearch(engine), PollPonderHit);
    EXPECT_EQ(PollDuringSearch(engine), PollPonderHit);
    EXPECT_FALSE(engine.quitting);
    EXPECT_EQ(PollDuringSearch(engine), PollStop);
    EXPECT_TRUE(engine.quitting);
    EXPECT_EQ(ReadAvailable(output.readEnd, 0),
              "debug info=[PONDERHIT]\ndebug info=[ponderhit draw]\ndebug info=[quit]\n");
}

TEST_F(CommandLoop, PollStopStopsWhenTheInputEnds) {
    WriteAllTo(input.writeEnd, "go\nsto");
    CloseTestEnd(input.writeEnd);
    bool stop = true;
    EXPECT_EQ(Polled(&stop), "debug info=[go]\n");
    EXPECT_FALSE(stop);
    EXPECT_EQ(Polled(&stop), "debug info=[sto]\n");
    EXPECT_FALSE(stop);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(Polled(&stop), "");
        EXPECT_TRUE(stop);
    }
}

}  // namespace

namespace {

// "setoption hashsize": megabytes rounded down to a power of two of buckets,
// each line on the table the one before it left; junk changes nothing.
TEST_F(CommandLoop, HashSizeInMegabytes) {
    struct Case {
        const char* line;
        uint32_t buckets;
    };
    const Case cases[] = {
        {"setoption hashsize 1", 1u << 15},           {"setoption hashsize 64", 1u << 21},
        {"setoption hashsize junk", 1u << 21},        {"setoption hashsize 3x", 1u << 21},
        {"setoption hashsize", DefaultHashBuckets},   {"setoption HASHSIZE 3", 1u << 16},
        {"setoption hashsize 0", DefaultHashBuckets}, {"setoption hashsize -7", 1u << 15},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), std::string("debug info=[") + c.line + "]\n");
        EXPECT_EQ(engine.search.hash.mask + 1, c.buckets) << c.line;
    }
}

// A resize leaves an empty table; "newgame" empties it and the history.
TEST_F(CommandLoop, ResizeAndNewGameForgetTheTable) {
    Run("ucci");
    Run("setoption usebook false");
    Run("go depth 3");
    HashEntry entry;
    ASSERT_TRUE(ProbeHash(engine.search.hash, engine.game, entry));
    Run("setoption newgame");
    EXPECT_FALSE(ProbeHash(engine.search.hash, engine.game, entry));
    for (const MoveStats& stats : engine.search.ordering.stats) ASSERT_EQ(stats.history, 0u);
    Run("go depth 3");
    Run("setoption hashsize 2");
    EXPECT_FALSE(ProbeHash(engine.search.hash, engine.game, entry));
}

// "setoption threads N" is not announced, yet it takes effect; a search
// with helpers answers as one without them would, one legal best move.
TEST_F(CommandLoop, ThreadsTakeEffectUnannounced) {
    EXPECT_EQ(Run("setoption threads 3"), "debug info=[setoption threads 3]\n");
    EXPECT_EQ(SearchThreadCount(engine.search), 3);
    EXPECT_EQ(Run("setoption threads junk"), "debug info=[setoption threads junk]\n");
    EXPECT_EQ(SearchThreadCount(engine.search), 3);
    Run("setoption usebook false");
    const std::string out = Run("go depth 5");
    EXPECT_EQ(out.find("bestmove"), out.rfind("bestmove")) << out;
    EXPECT_NE(out.find("bestmove "), std::string::npos) << out;
    Run("setoption threads 300");
    EXPECT_EQ(SearchThreadCount(engine.search), MaxSearchThreads);
    Run("setoption threads");
    EXPECT_EQ(SearchThreadCount(engine.search), 1);
}

// Other names UCCI front ends send are accepted without a word.
TEST_F(CommandLoop, OtherOptionNamesAreAcceptedSilently) {
    for (const char* name :
         {"batch", "debug", "ponder", "usehash", "bookfiles", "randomness", "selectivity", "style",
          "idle", "pruning", "knowledge", "promotion", "threads", "usemillisec", "loadbook",
          "useegtb", "egtbpaths", "evalapi"}) {
        const std::string line = std::string("setoption ") + name + " 1";
        EXPECT_EQ(Run(line), "debug info=[" + line + "]\n");
    }
    EXPECT_EQ(Run("isready"), "debug info=[isready]\nreadyok\n");
    EXPECT_EQ(Run("ponderhit"), "debug info=[ponderhit]\n");
}

}  // namespace
