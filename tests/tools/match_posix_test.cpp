// The match runner: its notation, statistics and openings, then whole
// matches of the built runner against the engine and stand-in engines.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "shell/channel_test_support.h"
#include "support/match/match.h"

namespace {

TEST(MatchNotation, ReadsAndWritesBothRankNumberings) {
    struct Case {
        const char* text;
        RankBase ranks;
        const char* asZero;  // the move in 0..9 ranks, "" for no move
    } cases[] = {
        {"h2e2", RanksFromZero, "h2e2"}, {"h3e3", RanksFromOne, "h2e2"},
        {"a10a9", RanksFromOne, "a9a8"}, {"i1i2", RanksFromOne, "i0i1"},
        {"a9a8", RanksFromZero, "a9a8"}, {"a10a9", RanksFromZero, ""},
        {"a0a1", RanksFromOne, ""},      {"a11a1", RanksFromOne, ""},
        {"j1a1", RanksFromZero, ""},     {"a0a1x", RanksFromZero, ""},
        {"", RanksFromZero, ""},         {"e0", RanksFromZero, ""},
        {"E0E1", RanksFromZero, ""},     {"a-1a1", RanksFromOne, ""},
    };
    for (const Case& c : cases) {
        const Move m = MoveFromEngine(c.text, c.ranks);
        EXPECT_EQ(m ? MoveToEngine(m, RanksFromZero) : "", c.asZero) << c.text;
        if (m) {
            EXPECT_EQ(MoveToEngine(m, c.ranks), c.text);
        }
    }
}

// The statistics against sums over the games one by one.
TEST(MatchStatistics, AgreeWithSumsOverTheGames) {
    const MatchScore scores[] = {{60, 40, 0}, {10, 10, 80}, {3, 1, 6}, {55, 45, 100}};
    for (const MatchScore& score : scores) {
        std::vector<double> games(size_t(score.wins), 1.0);
        games.insert(games.end(), size_t(score.losses), 0.0);
        games.insert(games.end(), size_t(score.draws), 0.5);
        double sum = 0, squares = 0;
        for (double g : games) sum += g;
        const double mean = sum / games.size();
        for (double g : games) squares += (g - mean) * (g - mean);
        const double variance = squares / games.size();
        double elo, margin;
        ASSERT_TRUE(EloEstimate(score, elo, margin));
        EXPECT_NEAR(elo, 400 * std::log10(mean / (1 - mean)), 1e-6);
        // The interval's ends are the Elo of the score's ends.
        const double half = 1.959964 * std::sqrt(variance / games.size());
        const double expected = (400 * std::log10((mean + half) / (1 - mean - half)) -
                                 400 * std::log10((mean - half) / (1 - mean + half))) /
                                2;
        EXPECT_NEAR(margin, expected, 1e-6);
        const double s0 = 1 / (1 + std::pow(10, 0.0)), s1 = 1 / (1 + std::pow(10, -10 / 400.0));
        double llr = 0;
        for (double g : games) llr += (s1 - s0) * (2 * g - s0 - s1) / (2 * variance);
        EXPECT_NEAR(SprtLogLikelihood(score, 0, 10), llr, 1e-9);
    }
    EXPECT_NEAR(SprtUpperBound(), 2.944, 0.001);
    EXPECT_NEAR(SprtLowerBound(), -2.944, 0.001);
    double elo, margin;
    EXPECT_FALSE(EloEstimate(MatchScore{5, 0, 0}, elo, margin));
    // An interval reaching past a score of 0 is cut there, not left undefined.
    ASSERT_TRUE(EloEstimate(MatchScore{0, 1, 1}, elo, margin));
    EXPECT_TRUE(std::isfinite(margin));
    EXPECT_EQ(SprtLogLikelihood(MatchScore{}, 0, 5), 0);
    // A clear lead decides for H1, a clear deficit for H0.
    EXPECT_GT(SprtLogLikelihood(MatchScore{300, 200, 100}, 0, 10), SprtUpperBound());
    EXPECT_LT(SprtLogLikelihood(MatchScore{200, 300, 100}, 0, 10), SprtLowerBound());
}

std::string SourcePath(const char* relative) {
    return std::string(QUILLON_SOURCE_DIR) + "/" + relative;
}

TEST(MatchOpenings, TheShippedOpeningsAreLegalVariedAndEnough) {
    std::vector<Opening> openings;
    std::string error;
    ASSERT_TRUE(ReadOpenings(SourcePath("tools/match/openings.txt"), openings, error)) << error;
    EXPECT_GE(openings.size(), 50u);
    std::set<std::vector<std::string>> distinct;
    std::set<std::string> firstMoves;
    for (const Opening& o : openings) {
        EXPECT_TRUE(o.fen.empty());
        EXPECT_GE(o.moves.size(), 4u);
        distinct.insert(o.moves);
        firstMoves.insert(o.moves[0]);
    }
    EXPECT_EQ(distinct.size(), openings.size());
    EXPECT_GE(firstMoves.size(), 3u);
}

TEST(MatchOpenings, RefusesIllegalLinesByNumber) {
    struct Case {
        const char* text;
        bool ok;
        const char* error;
    } cases[] = {
        {"# only a comment\n\n", false, "no openings"},
        {"h2e2 h9g7\nh2e2 h2e3\n", false, ":2: an illegal move"},
        {"h2e2 h9g7\r\nb0c2\n", true, ""},
        {"3k5/9/9/2r6/1N7/9/9/9/9/4K4 w - - 0 1 moves b5d4 c6c7\n", true, ""},
        {"3k5/9/9/2r6/1N7/9/9/9/9/4K4 w - - 0 1 moves b5d5\n", false, ":1: an illegal move"},
        {"h2e2 x\n", false, ":1: an illegal move"},
    };
    for (const Case& c : cases) {
        TempFile file("openings.txt", c.text);
        std::vector<Opening> openings;
        std::string error;
        EXPECT_EQ(ReadOpenings(file.path, openings, error), c.ok) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << ": " << error;
    }
}

// Runs the built runner and returns its output.
std::string RunMatch(const std::string& arguments) {
    const std::string command = TestProgramDirectory() + "/match " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return "";
    std::string out;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe)) out += chunk;
    pclose(pipe);
    return out;
}

std::string StandIn(const std::string& mode) {
    return "cmd=\"" + TestProgramDirectory() + "/stand_in_engine " + mode + "\"";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The moves of a PGN's game, replayed by the rules from its FEN, end where
// its result says.
void ExpectPgnConsistent(const std::string& pgn) {
    const size_t fenAt = pgn.find("[FEN \"") + 6;
    const std::string fen = pgn.substr(fenAt, pgn.find('"', fenAt) - fenAt);
    const size_t movesAt = pgn.find("\n\n") + 2;
    std::istringstream words(pgn.substr(movesAt, pgn.find('{', movesAt) - movesAt));
    static Position pos;
    static GameRecord game;
    LoadFen(fen.c_str(), pos);
    StartRecord(game, pos);
    std::string word;
    while (words >> word) {
        if (word.back() == '.') continue;
        ASSERT_TRUE(PlayRecordedMove(pos, game, MoveFromEngine(word, RanksFromZero))) << word;
    }
    const Ruling ruling = JudgeGameEnd(pos, HistoryOf(game), StandardRules);
    const bool mated = pgn.find("mated") != std::string::npos;
    const bool byRules = pgn.find("repetition") != std::string::npos ||
                         pgn.find("without a capture") != std::string::npos;
    if (mated && pgn.find("[Result \"1-0\"]") != std::string::npos) {
        EXPECT_EQ(ruling, RulingBlackLoses);
    }
    if (mated && pgn.find("[Result \"0-1\"]") != std::string::npos) {
        EXPECT_EQ(ruling, RulingRedLoses);
    }
    if (byRules) {
        EXPECT_NE(ruling, RulingNone);
    }
}

TEST(MatchRunner, TwoCopiesOfTheEnginePlayAGameToALegalEnd) {
    TempFile pgn("games.pgn", "");
    const std::string out =
        RunMatch("--engine cmd=" + std::string(EngineProgram()) + " name=ucci --engine cmd=" +
                 EngineProgram() + " proto=uci name=uci --tc 1000+10 --games 1 --pgn " + pgn.path);
    EXPECT_NE(out.find("Game 1 of 1 (opening 1): ucci (red) vs uci (black): "), std::string::npos)
        << out;
    EXPECT_NE(out.find("Score of ucci vs uci: "), std::string::npos) << out;
    const std::string games = ReadFile(pgn.path);
    for (const char* reason : {"crashed", "illegal", "time", "answered", "no move", "limit"})
        EXPECT_EQ(games.find(reason), std::string::npos) << games;
    ExpectPgnConsistent(games);
}

TEST(MatchRunner, FaultsLoseTheGameWithTheirReason) {
    struct Case {
        const char* mode;
        const char* reason;
    } cases[] = {
        {"illegal", "black played an illegal move e0e5"},
        {"crash", "black engine crashed"},
        {"silent", "black lost on time (no answer)"},
    };
    for (const Case& c : cases) {
        TempFile pgn("games.pgn", "");
        const std::string out = RunMatch(
            "--engine cmd=" + std::string(EngineProgram()) + " name=quillon --engine " +
            StandIn(c.mode) + " name=stand-in --tc 300+0 --grace 100 --games 1 --pgn " + pgn.path);
        EXPECT_NE(out.find(std::string("1-0 {") + c.reason + "}"), std::string::npos)
            << c.mode << "\n"
            << out;
        EXPECT_NE(out.find("Score of quillon vs stand-in: 1 - 0 - 0"), std::string::npos) << out;
        EXPECT_NE(ReadFile(pgn.path).find(std::string("[Termination \"") + c.reason),
                  std::string::npos);
    }
}

// Scripted engines walk into a forbidden cycle: red's horse chases the rook
// until the position occurs a third time, and red loses by the rules.
TEST(MatchRunner, AForbiddenCycleIsAdjudicated) {
    TempFile openings("openings.txt", "3k5/9/9/2r6/1N7/9/9/9/9/4K4 w - - 0 1\n");
    const std::string out =
        RunMatch("--engine " + StandIn("script b5d4 d4b5 b5d4 d4b5") + " name=chaser --engine " +
                 StandIn("script c6c7 c7c6 c6c7 c7c6") +
                 " name=runner --depth 1 --games 1 --openings " + openings.path);
    EXPECT_NE(out.find("0-1 {repetition: red loses (perpetual check or chase)} 8 plies"),
              std::string::npos)
        << out;
}

}  // namespace
