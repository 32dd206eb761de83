// UCI in this process: the words of "go", scores, the first-line test, and
// what "setoption" and "position" leave in the engine.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "position/piece_values.h"
#include "search/clock.h"
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
        {0, "cp 0"},         {-37, "cp -370"},   {9949, "cp 99490"}, {-9949, "cp -99490"},
        {1, "cp 10"},        {-1, "cp -10"},     {9999, "mate 1"},   {9997, "mate 2"},
        {9996, "mate 2"},    {9950, "mate 25"},  {-9998, "mate -1"}, {-9996, "mate -2"},
        {-9950, "mate -25"}, {-10000, "mate 0"},
    };
    for (const auto& c : cases) {
        char text[32];
        FormatUciScore(c.score, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.score;
    }
}

// Centipawns count an uncrossed pawn as 100: whatever the pawn is worth in
// the evaluation's units, averaged over the squares it holds before the river.
TEST(UciScore, AnUncrossedPawnIsAHundred) {
    int32_t sum = 0, squares = 0;
    for (uint32_t row = 5; row <= 6; row++) {
        for (uint32_t file = 0; file < 9; file += 2) {
            sum += PlacementValue(6, file, row);       // a red pawn
            sum += PlacementValue(13, file, 9 - row);  // and the black one opposite
            squares += 2;
        }
    }
    const int32_t average = (sum + squares / 2) / squares;
    EXPECT_EQ(UciCentipawns(average), 100);
    // A rook is worth about ten such pawns, as UCI tools expect of xiangqi.
    const int32_t rook = PlacementValue(4, 0, 9);
    EXPECT_GE(UciCentipawns(rook), 800);
    EXPECT_LE(UciCentipawns(rook), 2200);
}

TEST(UciGoLimits, SearchMovesAndMate) {
    struct Case {
        const char* line;
        std::vector<std::string> moves;
        int32_t mate, maxDepth;
    };
    const int32_t deepest = DeepestIteration;
    const Case cases[] = {
        {"go searchmoves h2e2 b0c2 depth 3", {"h2e2", "b0c2"}, 0, 3},
        {"go depth 3 searchmoves h2e2", {"h2e2"}, 0, 3},
        {"go searchmoves", {}, 0, 20},
        // The list ends at the first word that is no move text.
        {"go searchmoves junk h2e2", {}, 0, 20},
        {"go searchmoves a0a1 H2E2 i9i8", {"a0a1"}, 0, 20},
        {"go mate 3", {}, 3, deepest},
        {"go mate 0", {}, 1, deepest},
        {"go mate junk", {}, 1, deepest},
        {"go mate 2 depth 5", {}, 2, 5},
        {"go searchmoves b0c2 mate 2", {"b0c2"}, 2, deepest},
    };
    for (const Case& c : cases) {
        SplitLine line(c.line);
        const UciGoLimits go = ReadUciGoLimits(line.words, line.count, 0);
        ASSERT_EQ(go.limits.searchMoveCount, int32_t(c.moves.size())) << c.line;
        for (size_t i = 0; i < c.moves.size(); i++) {
            const MoveRecord r = ParseMoveString(c.moves[i].c_str());
            EXPECT_EQ(go.limits.searchMoves[i], MoveOf(r)) << c.line;
        }
        EXPECT_EQ(go.mate, c.mate) << c.line;
        EXPECT_EQ(go.limits.maxDepth, c.maxDepth) << c.line;
    }
    // More moves than a position can have are not written past the list.
    std::string many = "go searchmoves";
    for (int i = 0; i < 300; i++) many += " a0a1";
    SplitLine line(many.c_str());
    EXPECT_EQ(ReadUciGoLimits(line.words, line.count, 0).limits.searchMoveCount, MaxGeneratedMoves);
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

TEST_F(UciCommands, VariantMultiPvAndAnalyseMode) {
    struct Case {
        const char* line;
        const char* reply;
        int32_t lines;
        bool analysing;
    };
    // Each line runs on the state the one before it left.
    const Case cases[] = {
        {"setoption name UCI_Variant value xiangqi", "", 1, false},
        {"setoption name uci_variant value XIANGQI", "", 1, false},
        {"setoption name UCI_Variant value chess", "info string only xiangqi is played\n", 1,
         false},
        {"setoption name UCI_Variant", "info string only xiangqi is played\n", 1, false},
        {"setoption name MultiPV value 3", "", 3, false},
        {"setoption name multipv value junk", "", 3, false},
        {"setoption name MultiPV value 500", "", 128, false},
        {"setoption name MultiPV value -4", "", 1, false},
        {"setoption name MultiPV value 2", "", 2, false},
        {"setoption name MultiPV", "", 1, false},
        {"setoption name UCI_AnalyseMode value true", "", 1, true},
        {"setoption name UCI_AnalyseMode value maybe", "", 1, true},
        {"setoption name UCI_AnalyseMode value false", "", 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), c.reply) << c.line;
        EXPECT_EQ(engine.lines, c.lines) << c.line;
        EXPECT_EQ(engine.analysing, c.analysing) << c.line;
        // Another game asked for changes nothing else.
        EXPECT_TRUE(engine.useBook) << c.line;
        EXPECT_EQ(engine.search.profile, ProfileClassic) << c.line;
    }
}

TEST_F(UciCommands, LimitStrengthAndElo) {
    struct Case {
        const char* line;
        bool limit;
        int32_t elo;
    };
    // Each line runs on the state the one before it left.
    const Case cases[] = {
        {"setoption name UCI_LimitStrength value true", true, 2850},
        {"setoption name UCI_Elo value 1500", true, 1500},
        {"setoption name uci_elo value 300", true, 1350},
        {"setoption name UCI_Elo value 1e3", true, 1350},
        {"setoption name UCI_Elo value 9000", true, 2850},
        {"setoption name UCI_Elo value 2000", true, 2000},
        {"setoption name UCI_Elo", true, 2850},
        {"setoption name UCI_LimitStrength value no", true, 2850},
        {"setoption name UCI_LimitStrength value false", false, 2850},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), "") << c.line;
        EXPECT_EQ(engine.limitStrength, c.limit) << c.line;
        EXPECT_EQ(engine.elo, c.elo) << c.line;
    }
}

// "fen ..." and "startpos ..." without "position" load what the standard
// command loads, from the same position before, hostile text included.
TEST_F(UciCommands, TheShortFormLoadsWhatPositionLoads) {
    PrepareEngine(engine);
    const std::string board = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR";
    const char* before = "4k4/9/9/9/9/9/9/9/9/3K5 w - - 0 1";
    const std::string tails[] = {
        "startpos",
        "startpos moves h2e2 h9g7",
        "startpos moves h2e2 junk h9g7",
        "fen " + board + " r",
        "fen " + board + " w moves h2e2",
        "fen " + board + " b",
        "fen " + board + " r - - 0 1 moves h2e2 h9g7 moves b0c2",
        "fen 4k4/9/9/9/9/9/9/9/9/3K5 r moves d0e0",
        "fen 4k4/9/9/9/9/9/9/9/9/3K5",
        "fen 4k4/9/9/9/9/9/9/9/9/3K5 b moves e9d9",
        "fen 4k4/9/9/9/9/9/9/9/9/3K5 r moves",
        // Refused or malformed placements.
        "fen 4k4/9/9/9/9/9/9/9/9/4K4 r",
        "fen K8/9/9/9/9/9/9/9/9/4k4 r",
        "fen",
        "fen moves h2e2",
        "fen rnbakabnr r - - 0 1 extra words here moves h2e2",
    };
    for (const std::string& tail : tails) {
        LoadFen(before, engine.game);
        const std::string reply = Run("position " + tail);
        const std::string standard = Fen();
        LoadFen(before, engine.game);
        EXPECT_EQ(Run(tail), reply) << tail;
        EXPECT_EQ(Fen(), standard) << tail;
    }
    // "r" is red, as "w" is.
    Run("fen " + board + " r moves h2e2");
    EXPECT_EQ(Fen(), "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1");
}

// The move under way is shown only once the search has run a second: the
// search's start is set back rather than waited for.
TEST_F(UciCommands, TheMoveUnderWayAfterASecond) {
    UciSearch search{&engine, 1, StrengthLines{}};
    const Move move = MoveOf(ParseMoveString("h2e2"));
    engine.searchStart = ClockMilliseconds();
    ReportUciRootMove(&search, move, 1);
    EXPECT_EQ(ReadAvailable(output.readEnd, 0), "");
    engine.searchStart = ClockMilliseconds() - 5000;
    ReportUciRootMove(&search, move, 7);
    EXPECT_EQ(ReadAvailable(output.readEnd, 0), "info currmove h2e2 currmovenumber 7\n");
}

// Lines beyond MultiPV are weighed for a weakened choice but not shown; an
// interrupted iteration is neither.
TEST_F(UciCommands, OnlyTheLinesAskedForAreShown) {
    UciSearch search{&engine, 2, StrengthLines{}};
    IterationReport report{};
    report.completed = true;
    report.depth = 3;
    report.pv.found = true;
    report.pv.legal = report.pv.listed = 1;
    const char* moves[] = {"h2e2", "b0c2", "c3c4"};
    for (int line = 1; line <= 3; line++) {
        report.line = line;
        report.score = int16_t(40 - line);
        report.pv.moves[0] = MoveOf(ParseMoveString(moves[line - 1]));
        ReportUciIteration(&search, report);
    }
    const std::string shown = ReadAvailable(output.readEnd, 0);
    EXPECT_EQ(shown.find("info depth 3 seldepth 0 multipv 1 score cp 390 "), 0u) << shown;
    EXPECT_NE(shown.find("\ninfo depth 3 seldepth 0 multipv 2 score cp 380 "), std::string::npos)
        << shown;
    EXPECT_EQ(shown.find("multipv 3"), std::string::npos) << shown;
    ASSERT_EQ(search.lines.count, 3);
    EXPECT_EQ(search.lines.moves[2], MoveOf(ParseMoveString("c3c4")));
    EXPECT_EQ(search.lines.scores[2], 37);
    // A new depth starts the lines afresh; an interrupted one changes nothing.
    report.completed = false;
    report.depth = 4;
    report.line = 1;
    ReportUciIteration(&search, report);
    EXPECT_EQ(ReadAvailable(output.readEnd, 0), "");
    EXPECT_EQ(search.lines.count, 3);
    report.completed = true;
    ReportUciIteration(&search, report);
    EXPECT_EQ(search.lines.count, 1);
    EXPECT_EQ(search.lines.depth, 4);
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
