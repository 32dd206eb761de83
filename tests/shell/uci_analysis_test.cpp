// UCI as analysis tools and variant-aware front ends use it, end to end: the
// short position dialect, several best lines, chosen root moves, mate
// searches, the lone move and the fields of the "info" lines.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "channel_test_support.h"
#include "engine_session_support.h"
#include "shell/engine.h"
#include "shell/uci.h"
#include "support/reference_rules.h"

namespace {

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The value after the word `key` in the line, or `missing`.
long Field(const std::string& line, const std::string& key, long missing = -1) {
    const size_t at = (" " + line + " ").find(" " + key + " ");
    if (at == std::string::npos) return missing;
    return std::strtol(line.c_str() + at + key.size() + 1, nullptr, 10);
}

// The first move of the line's "pv", or "".
std::string FirstPvMove(const std::string& line) {
    const size_t at = line.find(" pv ");
    return at == std::string::npos ? "" : line.substr(at + 4, 4);
}

// A line without its clock's figures, which depend on the machine's load.
std::string WithoutClock(const std::string& line) {
    const size_t nps = line.find(" nps ");
    if (nps == std::string::npos) return line;
    const size_t hashfull = line.find(" hashfull ");
    const size_t time = line.find(" time ");
    std::string out = line.substr(0, nps) + line.substr(hashfull, time - hashfull);
    const size_t pv = line.find(" pv ");
    if (pv != std::string::npos) out += line.substr(pv);
    return out;
}

// The lines after the setup's commands (each "go" read up to its best move),
// clock figures removed.
std::string Session(const std::vector<std::string>& commands) {
    EngineSession engine(Protocol::Uci);
    if (!engine.open) return "no engine";
    std::string out;
    for (const std::string& command : commands) {
        engine.Send(command);
        if (StartsWith(command, "go")) {
            for (const std::string& line : engine.ReadUntil("bestmove", 20000))
                out += WithoutClock(line) + "\n";
        } else if (command == "isready") {
            for (const std::string& line : engine.ReadUntil("readyok", 5000)) out += line + "\n";
        }
    }
    return out;
}

std::vector<std::string> InfoLinesOfDepth(const std::vector<std::string>& lines, int depth) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (StartsWith(line, "info depth ") && Field(line, "depth") == depth) found.push_back(line);
    return found;
}

const char StartBoard[] = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR";

// Every dialect form searches the position of its standard command: the
// sessions print the same lines.
TEST(UciAnalysis, ShortPositionFormsSearchTheStandardPosition) {
    const std::string board = StartBoard;
    const std::string black = "r1bakabnr/9/1cn4c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR";
    const struct {
        std::string dialect, standard;
    } cases[] = {
        {"fen " + board + " r", "position startpos"},
        {"fen " + board + " w moves h2e2 b9c7", "position startpos moves h2e2 b9c7"},
        {"fen " + board + " r - - 0 1 moves h2e2", "position startpos moves h2e2"},
        {"position fen " + board + " r moves h2e2", "position startpos moves h2e2"},
        {"startpos moves h2e2", "position startpos moves h2e2"},
        {"fen " + black + " b", "position fen " + black + " b - - 0 1"},
        {"fen " + black + " b moves a9a8", "position fen " + black + " b - - 0 1 moves a9a8"},
    };
    for (const auto& c : cases) {
        const std::string expected = Session({c.standard, "go depth 4"});
        EXPECT_NE(expected.find("info depth 4 "), std::string::npos) << expected;
        EXPECT_EQ(Session({c.dialect, "go depth 4"}), expected) << c.dialect;
    }
}

// "ucinewgame" and "isready" between games leave nothing that changes the
// next search; "UCI_Variant" of another game is answered and ignored.
TEST(UciAnalysis, NewGameReadyAndVariantDoNotDisturbTheEngine) {
    const std::string search = Session({"position startpos moves h2e2", "go depth 6"});
    const std::string again = Session({"position startpos moves h2e2", "go depth 6", "ucinewgame",
                                       "isready", "setoption name UCI_Variant value xiangqi",
                                       "position startpos moves h2e2", "isready", "go depth 6"});
    EXPECT_EQ(again, search + "readyok\nreadyok\n" + search);
    EXPECT_EQ(Session({"setoption name UCI_Variant value chess", "isready",
                       "position startpos moves h2e2", "go depth 6"}),
              "info string only xiangqi is played\nreadyok\n" + search);
}

// A position with one clearly best move: red's rook takes a loose black rook.
const char LooseRook[] = "3a1k3/9/9/9/9/r3R4/9/9/9/3K5 w";

TEST(UciAnalysis, MultiPvGivesDistinctLinesInScoreOrder) {
    EngineSession single(Protocol::Uci);
    ASSERT_TRUE(single.open);
    single.Send(std::string("position fen ") + LooseRook);
    single.Send("go depth 6");
    const std::vector<std::string> one = single.ReadUntil("bestmove");
    ASSERT_FALSE(one.empty());

    EngineSession engine(Protocol::Uci);
    ASSERT_TRUE(engine.open);
    engine.Send("setoption name MultiPV value 3");
    engine.Send(std::string("position fen ") + LooseRook);
    engine.Send("go depth 6");
    const std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    for (int depth = 1; depth <= 6; depth++) {
        const std::vector<std::string> info = InfoLinesOfDepth(lines, depth);
        ASSERT_EQ(info.size(), 3u) << depth;
        std::set<std::string> firsts;
        for (size_t k = 0; k < info.size(); k++) {
            EXPECT_EQ(Field(info[k], "multipv"), long(k + 1)) << info[k];
            firsts.insert(FirstPvMove(info[k]));
            EXPECT_TRUE(LegalIn(LooseRook, "bestmove " + FirstPvMove(info[k]))) << info[k];
            if (k > 0) {
                EXPECT_LE(Field(info[k], "cp"), Field(info[k - 1], "cp")) << info[k];
            }
        }
        EXPECT_EQ(firsts.size(), 3u) << depth;
    }
    const std::vector<std::string> deepest = InfoLinesOfDepth(lines, 6);
    EXPECT_EQ(FirstPvMove(deepest[0]), "e4a4");
    EXPECT_EQ(lines.back().substr(0, 13), one.back().substr(0, 13));
    EXPECT_EQ(lines.back().substr(0, 13), "bestmove e4a4");
}

// More lines asked for than there are moves: one line per move.
TEST(UciAnalysis, MultiPvStopsAtTheLastMove) {
    EngineSession engine(Protocol::Uci);
    ASSERT_TRUE(engine.open);
    engine.Send("setoption name MultiPV value 5");
    // Red's king may step to e1 or f0, not to d0 in the black king's file.
    engine.Send("position fen 3k5/9/9/9/9/9/9/9/9/4K4 w");
    engine.Send("go depth 3");
    const std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    for (int depth = 1; depth <= 3; depth++) {
        const std::vector<std::string> info = InfoLinesOfDepth(lines, depth);
        std::set<std::string> firsts;
        for (const std::string& line : info) firsts.insert(FirstPvMove(line));
        EXPECT_EQ(firsts.size(), info.size()) << depth;
        EXPECT_EQ(firsts, (std::set<std::string>{"e0e1", "e0f0"})) << depth;
    }
}

TEST(UciAnalysis, SearchMovesNeverPlaysOutsideTheList) {
    const struct {
        const char* go;
        std::set<std::string> allowed;
    } cases[] = {
        {"go depth 5 searchmoves a3a4 i3i4", {"a3a4", "i3i4"}},
        {"go searchmoves c3c4 depth 4", {"c3c4"}},
        {"go searchmoves b0c2 h2e2 g3g4 movetime 300", {"b0c2", "h2e2", "g3g4"}},
        // Illegal moves in the list are dropped.
        {"go depth 4 searchmoves a0a5 b0c2", {"b0c2"}},
    };
    for (const auto& c : cases) {
        for (const char* lines : {"1", "3"}) {
            EngineSession engine(Protocol::Uci);
            ASSERT_TRUE(engine.open);
            engine.Send(std::string("setoption name MultiPV value ") + lines);
            engine.Send("position startpos");
            engine.Send(c.go);
            const std::vector<std::string> out = engine.ReadUntil("bestmove");
            ASSERT_FALSE(out.empty()) << c.go;
            EXPECT_EQ(c.allowed.count(out.back().substr(9, 4)), 1u) << c.go << ": " << out.back();
            for (const std::string& line : out) {
                if (!StartsWith(line, "info depth ")) continue;
                EXPECT_EQ(c.allowed.count(FirstPvMove(line)), 1u) << c.go << ": " << line;
                EXPECT_LE(Field(line, "multipv"), long(c.allowed.size())) << line;
            }
        }
    }
}

TEST(UciAnalysis, GoMateFindsTheMates) {
    const struct {
        const char* fen;
        int moves;
        const char* best;  // null: any mating move
    } cases[] = {
        {"4k4/8R/9/9/9/9/9/9/9/R2K5 w", 1, "a0a9"},
        {"3k1a3/4a4/9/9/9/9/9/9/4R4/3CK4 w", 2, "e1d1"},
        {"2bak4/4a4/4b4/9/9/6N2/9/9/4C4/4K4 w", 3, nullptr},
    };
    for (const auto& c : cases) {
        EngineSession engine(Protocol::Uci);
        ASSERT_TRUE(engine.open);
        engine.Send(std::string("position fen ") + c.fen);
        engine.Send("go mate " + std::to_string(c.moves));
        const std::vector<std::string> lines = engine.ReadUntil("bestmove", 60000);
        ASSERT_GE(lines.size(), 2u) << c.fen;
        const std::string& last = lines[lines.size() - 2];
        const long mate = Field(last, "mate", 0);
        EXPECT_GE(mate, 1) << last;
        EXPECT_LE(mate, c.moves) << last;
        EXPECT_TRUE(LegalIn(c.fen, lines.back())) << lines.back();
        if (c.best) {
            EXPECT_EQ(lines.back().substr(9, 4), c.best) << c.fen;
        }
        // The mate found ends the search: no deeper line follows it.
        EXPECT_EQ(CountPrefix(lines, "info depth "), Field(last, "depth")) << c.fen;
    }
}

TEST(UciAnalysis, InfoLinesCarryEveryField) {
    EngineSession engine(Protocol::Uci);
    ASSERT_TRUE(engine.open);
    engine.Send("setoption name Hash value 1");
    engine.Send("position startpos moves h2e2 h9g7");
    engine.Send("go depth 9");
    const std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_EQ(CountPrefix(lines, "info depth "), 9);
    long previousHashfull = 0;
    const std::vector<std::string> keys = {"depth", "seldepth", "multipv", "nodes",
                                           "nps",   "hashfull", "tbhits",  "time"};
    int depth = 0;
    for (const std::string& line : lines) {
        if (!StartsWith(line, "info depth ")) continue;
        depth++;
        for (const std::string& key : keys) EXPECT_GE(Field(line, key), 0) << key << ": " << line;
        EXPECT_NE(line.find(" score cp "), std::string::npos) << line;
        EXPECT_NE(line.find(" pv "), std::string::npos) << line;
        EXPECT_EQ(Field(line, "depth"), depth) << line;
        EXPECT_GE(Field(line, "seldepth"), 1) << line;
        EXPECT_LE(Field(line, "seldepth"), 127) << line;
        // The quiescence goes past the nominal depth.
        if (depth == 1) {
            EXPECT_GT(Field(line, "seldepth"), 1) << line;
        }
        // A fresh table only fills up in one search.
        EXPECT_GE(Field(line, "hashfull"), previousHashfull) << line;
        EXPECT_LE(Field(line, "hashfull"), 1000) << line;
        previousHashfull = Field(line, "hashfull");
    }
    EXPECT_EQ(Field(lines.front(), "hashfull"), 0) << lines.front();
    EXPECT_GT(previousHashfull, 0);
}

// The weakest ratings still take a loose rook, answer a clock in time, and
// play one of the lines they show, no worse than the best by the rating's
// margin.
TEST(UciAnalysis, ALimitedStrengthNeverBlunders) {
    for (int run = 0; run < 4; run++) {
        EngineSession engine(Protocol::Uci);
        ASSERT_TRUE(engine.open);
        const int32_t elo = run % 2 ? 1800 : WeakestElo;
        engine.Send("setoption name UCI_LimitStrength value true");
        engine.Send("setoption name UCI_Elo value " + std::to_string(elo));
        engine.Send("setoption name MultiPV value 4");
        engine.Send(std::string("position fen ") + LooseRook);
        engine.Send("go depth 20");
        std::vector<std::string> lines = engine.ReadUntil("bestmove");
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().substr(0, 13), "bestmove e4a4") << run;

        engine.Send("position startpos moves h2e2");
        const int64_t start = NowMs();
        engine.Send("go wtime 3000 btime 3000");
        lines = engine.ReadUntil("bestmove");
        EXPECT_LT(NowMs() - start, 1000) << run;
        ASSERT_GE(lines.size(), 2u);
        const std::string played = lines.back().substr(9, 4);
        const long deepest = Field(lines[lines.size() - 2], "depth");
        long best = 0, chosen = -100000;
        for (const std::string& line : InfoLinesOfDepth(lines, int(deepest))) {
            if (Field(line, "multipv") == 1) best = Field(line, "cp");
            if (FirstPvMove(line) == played) chosen = Field(line, "cp");
        }
        EXPECT_GE(chosen, best - UciCentipawns(PlanStrength(elo).margin)) << lines.back();
    }
}

// Red's king, checked along the d-file, has one move: e0.
const char LoneMove[] = "5k3/9/9/9/3r5/9/9/9/9/3K5 w";

TEST(UciAnalysis, ALoneMoveIsAnsweredAtOnceWithOneLine) {
    for (const char* go : {"go wtime 60000 btime 60000", "go depth 12", "go movetime 5000",
                           "go nodes 1000000", "go mate 5"}) {
        EngineSession engine(Protocol::Uci);
        ASSERT_TRUE(engine.open);
        engine.Send(std::string("position fen ") + LoneMove);
        engine.Send("isready");
        engine.ReadUntil("readyok", 5000);
        const int64_t start = NowMs();
        engine.Send(go);
        const std::vector<std::string> lines = engine.ReadUntil("bestmove", 10000);
        EXPECT_LT(NowMs() - start, 1000) << go;
        ASSERT_EQ(lines.size(), 2u) << go;
        EXPECT_TRUE(StartsWith(lines[0], "info depth 1 seldepth 1 multipv 1 score cp "))
            << lines[0];
        EXPECT_EQ(FirstPvMove(lines[0]), "d0e0") << lines[0];
        EXPECT_EQ(lines[1], "bestmove d0e0") << go;
    }
}

TEST(UciAnalysis, ALoneMoveStillWaitsForStopOrPonderHit) {
    for (const char* go : {"go infinite", "go ponder wtime 1000 btime 1000"}) {
        EngineSession engine(Protocol::Uci);
        ASSERT_TRUE(engine.open);
        engine.Send(std::string("position fen ") + LoneMove);
        engine.Send(go);
        char line[LineBufferSize];
        int info = 0;
        for (int64_t until = NowMs() + 300; NowMs() < until;) {
            if (ReadLineWithin(engine.child.channel, line, 10)) {
                EXPECT_FALSE(StartsWith(line, "bestmove")) << go;
                info += StartsWith(line, "info depth ");
            }
        }
        EXPECT_EQ(info, 1) << go;
        // "ponderhit" does not end "infinite"; "stop" ends both.
        engine.Send("ponderhit");
        engine.Send("isready");
        std::vector<std::string> lines = engine.ReadUntil("readyok", 5000);
        const bool pondering = go[3] == 'p';
        if (!pondering) {
            engine.Send("stop");
            lines = engine.ReadUntil("bestmove", 5000);
        }
        ASSERT_FALSE(lines.empty()) << go;
        EXPECT_EQ(CountPrefix(lines, "bestmove d0e0"), 1) << go;
    }
}

}  // namespace
