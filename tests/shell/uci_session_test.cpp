// UCI end to end: the built quillon started as a child program and spoken to
// as a UCI front end would, every read with a deadline and every best move
// checked against the legal moves.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "channel_test_support.h"
#include "engine_session_support.h"
#include "support/reference_rules.h"

namespace {

const char UciReply[] =
    "id name Quillon 1.0\n"
    "id author Orsolan\n"
    "option name Hash type spin default 8 min 1 max 1024\n"
    "option name Threads type spin default 1 min 1 max 256\n"
    "option name Clear Hash type button\n"
    "option name Ponder type check default false\n"
    "option name UseBook type check default true\n"
    "option name CheckInQuiescence type check default true\n"
    "option name HistoryPruning type check default true\n"
    "option name Profile type combo default modern var modern var classic\n"
    "option name UCI_Variant type combo default xiangqi var xiangqi\n"
    "option name MultiPV type spin default 1 min 1 max 128\n"
    "option name UCI_AnalyseMode type check default false\n"
    "option name UCI_LimitStrength type check default false\n"
    "option name UCI_Elo type spin default 2850 min 1350 max 2850\n"
    "uciok\n";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The milliseconds of "info ... time N" lines, which depend on the machine's
// load, written as "time T".
std::string WithTimesHidden(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 6, " time ") == 0) {
            out += " time T";
            i += 6;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') i++;
        } else {
            out += text[i++];
        }
    }
    return out;
}

TEST(UciSession, ConversationsByteForByte) {
    struct Case {
        const char* name;
        std::string input;
        std::string output;
    };
    const std::string uci = UciReply;
    const Case cases[] = {
        {"uci then quit", "uci\nquit\n", uci},
        {"any case, and the input's end ends it", "UCI\n", uci},
        {"isready, a second uci", "uci\nisready\nuci\nquit\nisready\n", uci + "readyok\n" + uci},
        {"quiet commands",
         "uci\nucinewgame\nsetoption name Hash value 4\nsetoption name "
         "UCI_Variant value xiangqi\nsetoption name Clear Hash\nstop\nponderhit\nhello\n\n"
         "position startpos moves h2e2 h9g7\nposition fen 4k4/9/9/9/9/9/9/9/9/4K4 w\nquit\n",
         uci},
        // The move parser never speaks in UCI: bad move words are not parsed.
        {"bad move words",
         "uci\nposition startpos moves x2e2 H2e2\nposition startpos moves h2\n"
         "isready\n",
         uci + "readyok\n"},
        {"a mated side has no move",
         "uci\nposition fen R3k4/8R/9/9/9/9/9/9/9/3K5 b - - 0 1\n"
         "go depth 3\nquit\n",
         uci + "info depth 1 seldepth 0 multipv 1 score mate 0 nodes 0 nps 0 hashfull 0 tbhits 0 "
               "time 0\n"
               "bestmove (none)\n"},
    };
    for (const Case& c : cases) {
        const Transcript session = RunEngine(c.input, 10000);
        EXPECT_EQ(WithTimesHidden(session.output), WithTimesHidden(c.output)) << c.name;
        EXPECT_TRUE(session.ended) << c.name;
        EXPECT_EQ(session.exitCode, 0) << c.name;
    }
}

// The nodes of the last line that counts them (UCI's "info depth", UCCI's
// "info time") of a search to depth 6 from the start, after the given option
// lines.
std::string NodesOfSearch(Protocol protocol, const std::vector<std::string>& setup) {
    EngineSession engine(protocol);
    if (!engine.open) return "no engine";
    for (const std::string& line : setup) engine.Send(line);
    engine.Send("position startpos");
    engine.Send("go depth 6");
    std::string nodes = "none";
    for (const std::string& line : engine.ReadUntil("bestmove")) {
        const size_t at = line.find(" nodes ");
        if (at != std::string::npos) nodes = line.substr(at + 7, line.find(' ', at + 7) - at - 7);
    }
    return nodes;
}

// A UCI session searches with the modern profile unless told otherwise, a
// UCCI session with the classic one; either protocol switches it, and a
// word that names no profile changes nothing. UCI's keys are fixed, so its
// counts compare exactly; UCCI's are drawn per run, so there the profiles
// are told apart by size: the classic search takes many times the nodes.
TEST(UciSession, TheProfileFollowsTheProtocolAndTheOption) {
    const std::string uciModern = NodesOfSearch(Protocol::Uci, {});
    const std::string uciClassic =
        NodesOfSearch(Protocol::Uci, {"setoption name Profile value classic"});
    EXPECT_GT(std::stol(uciClassic), 5 * std::stol(uciModern));
    EXPECT_EQ(NodesOfSearch(Protocol::Uci, {"setoption name profile value MODERN"}), uciModern);
    EXPECT_EQ(NodesOfSearch(Protocol::Uci, {"setoption name Profile value strongest"}), uciModern);
    EXPECT_EQ(NodesOfSearch(Protocol::Uci, {"setoption name Profile value classic",
                                            "setoption name Profile value modern"}),
              uciModern);
    const auto classicSized = [&](const std::string& nodes) {
        return std::stol(nodes) > 5 * std::stol(uciModern);
    };
    EXPECT_TRUE(classicSized(NodesOfSearch(Protocol::Ucci, {})));
    EXPECT_FALSE(classicSized(NodesOfSearch(Protocol::Ucci, {"setoption profile modern"})));
    EXPECT_TRUE(classicSized(
        NodesOfSearch(Protocol::Ucci, {"setoption profile modern", "setoption profile classic"})));
    EXPECT_TRUE(classicSized(NodesOfSearch(Protocol::Ucci, {"setoption profile"})));
}

// The modern profile's hash keys are fixed: the same search in two runs
// reports the same lines, nodes and moves (only the clock's figures differ).
TEST(UciSession, AFixedNodeSearchRepeatsRunToRun) {
    std::string runs[2];
    for (std::string& run : runs) {
        EngineSession engine(Protocol::Uci);
        ASSERT_TRUE(engine.open);
        engine.Send("position startpos moves h2e2 h9g7");
        engine.Send("go nodes 40000");
        for (const std::string& line : engine.ReadUntil("bestmove")) {
            const size_t nps = line.find(" nps ");
            run += (nps == std::string::npos ? line : line.substr(0, nps)) + "\n";
        }
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_NE(runs[0].find("info depth 5 "), std::string::npos) << runs[0];
}

TEST(UciSession, UcciStaysTheDefault) {
    const Transcript session = RunEngine("isready\nuci\nquit\n", 10000);
    EXPECT_EQ(session.output,
              "debug info=[isready]\nreadyok\ndebug info=[uci]\ndebug info=[quit]\n"
              "Engine do not boot\n");
    EXPECT_TRUE(session.ended);
    EXPECT_EQ(session.exitCode, 0);
}

TEST(UciSession, GoBeforePositionSearchesTheStartPosition) {
    EngineSession engine(Protocol::Uci);
    ASSERT_TRUE(engine.open);
    engine.Send("go depth 4");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(CountPrefix(lines, "info depth "), 4);
    for (const std::string& l : lines) {
        if (StartsWith(l, "info depth ")) {
            EXPECT_NE(l.find(" score cp "), std::string::npos) << l;
            EXPECT_NE(l.find(" nodes "), std::string::npos) << l;
            EXPECT_NE(l.find(" nps "), std::string::npos) << l;
            EXPECT_NE(l.find(" time "), std::string::npos) << l;
            EXPECT_NE(l.find(" pv "), std::string::npos) << l;
        }
    }
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
}

TEST(UciSession, AGameOfSixHundredPliesIsReadWhole) {
    EngineSession engine(Protocol::Uci);
    ASSERT_TRUE(engine.open);
    std::string line = "position startpos moves";
    for (int i = 0; i < 150; i++) line += " b0c2 b9c7 c2b0 c7b9";
    line += " h2e2";  // black to move: the whole line was played
    ASSERT_GT(line.size(), 3000u);
    engine.Send(line);
    engine.Send("go depth 3");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1",
                        lines.back()))
        << lines.back();
}

TEST(UciSession, IsReadyDuringAnInfiniteSearchThenStop) {
    EngineSession engine(Protocol::Uci);
    ASSERT_TRUE(engine.open);
    engine.Send("go infinite");
    engine.Send("isready");
    std::vector<std::string> lines = engine.ReadUntil("readyok", 5000);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "readyok");
    EXPECT_EQ(CountPrefix(lines, "bestmove"), 0);
    // No answer before "stop", even once the search could end.
    char line[LineBufferSize];
    for (int64_t until = NowMs() + 300; NowMs() < until;) {
        if (ReadLineWithin(engine.child.channel, line, 10)) {
            EXPECT_FALSE(StartsWith(line, "bestmove"));
        }
    }
    engine.Send("stop");
    lines = engine.ReadUntil("bestmove", 5000);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
}

TEST(UciSession, ClocksAndMoveTimeAnswerInTime) {
    struct Case {
        const char* go;
        int64_t atLeast, atMost;
    };
    // One second and an increment of 10: a fortieth, the backstop a quarter.
    const Case cases[] = {
        {"go wtime 1000 btime 1000 winc 10 binc 10", 0, 1000},
        {"go wtime 60000 btime 1 winc 0 binc 0", 0, 15000},
        {"go movetime 200", 150, 700},
        {"go wtime 0 btime 0", 0, 700},
        {"go movetime junk", 0, 700},
    };
    for (const Case& c : cases) {
        EngineSession engine(Protocol::Uci);
        ASSERT_TRUE(engine.open);
        engine.Send("position startpos moves h2e2");
        engine.Send("isready");
        engine.ReadUntil("readyok", 5000);
        const int64_t start = NowMs();
        engine.Send(c.go);
        std::vector<std::string> lines = engine.ReadUntil("bestmove", 20000);
        const int64_t took = NowMs() - start;
        ASSERT_FALSE(lines.empty()) << c.go;
        EXPECT_GE(took, c.atLeast) << c.go;
        EXPECT_LE(took, c.atMost) << c.go;
        EXPECT_TRUE(LegalIn("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1",
                            lines.back()))
            << c.go << ": " << lines.back();
    }
}

TEST(UciSession, AMateInTwoIsReportedInMoves) {
    EngineSession engine(Protocol::Uci);
    ASSERT_TRUE(engine.open);
    const char* fen = "4k4/9/9/9/9/9/9/9/9/R2K4R w - - 0 1";
    engine.Send(std::string("position fen ") + fen);
    engine.Send("go depth 4");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_GE(lines.size(), 2u);
    const std::string& last = lines[lines.size() - 2];
    ASSERT_TRUE(StartsWith(last, "info depth ")) << last;
    const size_t at = last.find(" score mate ");
    ASSERT_NE(at, std::string::npos) << last;
    const int moves = std::atoi(last.c_str() + at + 12);
    EXPECT_GE(moves, 2) << last;
    EXPECT_LE(moves, 3) << last;
    EXPECT_TRUE(LegalIn(fen, lines.back())) << lines.back();
}

TEST(UciSession, PonderUntilPonderHit) {
    EngineSession engine(Protocol::Uci);
    ASSERT_TRUE(engine.open);
    engine.Send("position startpos moves h2e2");
    engine.Send("go ponder wtime 2000 btime 2000");
    char line[LineBufferSize];
    for (int64_t until = NowMs() + 300; NowMs() < until;) {
        if (ReadLineWithin(engine.child.channel, line, 10)) {
            EXPECT_FALSE(StartsWith(line, "bestmove"));
        }
    }
    const int64_t hit = NowMs();
    engine.Send("ponderhit");
    std::vector<std::string> lines = engine.ReadUntil("bestmove", 5000);
    ASSERT_FALSE(lines.empty());
    // The clock starts at the ponderhit: its backstop is a quarter of 2000 ms.
    EXPECT_LE(NowMs() - hit, 1500);
    EXPECT_TRUE(LegalIn("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1",
                        lines.back()))
        << lines.back();
}

TEST(UciSession, TheBookAnswersUnlessSwitchedOff) {
    EngineSession engine(Protocol::Uci, true);
    ASSERT_TRUE(engine.open);
    engine.Send("go depth 6");
    std::vector<std::string> lines = engine.ReadUntil("bestmove");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(CountPrefix(lines, "info depth "), 0);
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();

    engine.Send("setoption name usebook value false");
    engine.Send("go depth 3");
    lines = engine.ReadUntil("bestmove");
    EXPECT_EQ(CountPrefix(lines, "info depth "), 3);
    EXPECT_TRUE(LegalIn(StartFen, lines.back())) << lines.back();
}

// A malformed move in the book: UCCI tells it as the move parser's words
// when the book is read; UCI prints nothing outside its protocol.
TEST(UciSession, ABadBookLinePrintsNothingOutsideTheProtocol) {
    const std::string start = StartFen;
    TempFile book("book.TXT", "x2e2 10 " + start + "\nh2e2 10 " + start + "\n");
    const std::string engine =
        book.directory + "/" + std::filesystem::path(EngineProgram()).filename().string();
    std::filesystem::copy_file(EngineProgram(), engine);

    const Transcript uci = RunEngine("uci\nisready\ngo depth 1\nquit\n", 10000, engine.c_str());
    EXPECT_TRUE(uci.ended);
    for (const std::string& line : Lines(uci.output)) {
        const bool protocol = StartsWith(line, "id ") || StartsWith(line, "option ") ||
                              line == "uciok" || line == "readyok" || StartsWith(line, "info ") ||
                              StartsWith(line, "bestmove ");
        EXPECT_TRUE(protocol) << line;
    }
    EXPECT_NE(uci.output.find("bestmove "), std::string::npos) << uci.output;

    const Transcript ucci = RunEngine("ucci\nquit\n", 10000, engine.c_str());
    EXPECT_TRUE(
        StartsWith(ucci.output, "debug info=[ucci]\nthe moveString char is wrong.\nid name "))
        << ucci.output;
    std::filesystem::remove(engine);
}

TEST(UciSession, QuitDuringASearchEndsTheEngine) {
    const Transcript session = RunEngine("uci\ngo infinite\nquit\n", 10000);
    EXPECT_EQ(session.output.find("bestmove"), std::string::npos) << session.output;
    EXPECT_TRUE(session.ended);
    EXPECT_EQ(session.exitCode, 0);
}

}  // namespace
