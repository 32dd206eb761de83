// The one loader of a FEN and its moves, as UCCI's "position" and "probe"
// lines give them and under both rules for a move that cannot be played.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "shell/tokenizer.h"
#include "shell/ucci.h"

namespace {

struct SplitLine {
    char text[4096];
    char* words[WordListSize];
    int count;
    explicit SplitLine(const char* line) {
        std::strcpy(text, line);
        count = SplitWords(text, words, WordListSize);
    }
};

TEST(PositionWords, TheFenIsJoinedFromTheWordsThemselves) {
    struct Case {
        const char* line;
        const char* fen;
    };
    const Case cases[] = {
        {"position fen 9/9 w - - 0 1", "9/9 w - - 0 1"},
        {"position fen 9/9  b   - - 0 1", "9/9 b - - 0 1"},
        {"position fen 9/9 b", "9/9 b"},
        {"position fen", ""},
        {"position fen 9/9 w - - 0 1 moves", "9/9 w - - 0 1"},
        {"position fen 9/9 w - - 0 1 moves h2e2", "9/9 w - - 0 1"},
        {"position fen 9/9 w moves h2e2", "9/9 w moves h2e2"},
    };
    for (const Case& c : cases) {
        SplitLine line(c.line);
        char fen[1024];
        std::memset(fen, 'X', sizeof fen);
        JoinWords(line.words, 2, line.count < 8 ? line.count : 8, fen, sizeof fen);
        EXPECT_STREQ(fen, c.fen) << c.line;
    }
}

TEST(PositionWords, TheJoinedFenIsCutToItsRoom) {
    SplitLine line("position fen abcdef ghi");
    char fen[8];
    std::memset(fen, 'X', sizeof fen);
    JoinWords(line.words, 2, line.count, fen, sizeof fen);
    EXPECT_STREQ(fen, "abcdef ");
}

// The same position built by hand: the FEN loaded, then the moves played.
void LoadByHand(Position& pos, const char* fen, const char* const* moves, int count) {
    LoadFen(fen, pos);
    for (int i = 0; i < count; i++) {
        MoveRecord record = ParseMoveString(moves[i]);
        ASSERT_TRUE(PlayGameMove(pos, record)) << moves[i];
    }
}

void ExpectSamePosition(const Position& a, const Position& b, const std::string& context) {
    EXPECT_EQ(std::memcmp(a.Board, b.Board, sizeof a.Board), 0) << context;
    EXPECT_EQ(a.SideToMove, b.SideToMove) << context;
    EXPECT_EQ(a.MoveCount, b.MoveCount) << context;
    EXPECT_EQ(CurrentKey(a), CurrentKey(b)) << context;
}

Position Expected;

class PositionLoading : public InProcessEngine {
protected:
    void Run(const char* text) {
        std::string line = text;
        RunUcciLine(engine, &line[0]);
        Written();
    }
};

TEST_F(PositionLoading, LoadsTheFenAndPlaysTheListedMoves) {
    const std::string start = StartFen;
    const char* const opening[] = {"h2e2", "h9g7"};
    struct Case {
        std::string line;
        const char* fen;
        int moves;  // of `opening`
    };
    const Case cases[] = {
        {"position fen " + start, StartFen, 0},
        {"position fen " + start + " moves h2e2 h9g7", StartFen, 2},
        {"position fen " + start + " moves h2e2", StartFen, 1},
        {"position fen " + start + " MOVES h2e2", StartFen, 1},
        {"position fen " + start + " moves", StartFen, 0},
        {"position fen " + start + " then h2e2", StartFen, 0},
        {"position fen " + start + " next h2e2 h9g7", StartFen, 0},
        // An illegal move is left out; the moves after it are still tried.
        {"position fen " + start + " moves h2e2 a0a5 h9g7", StartFen, 2},
        {"position fen " + start + " moves h2e2 h2e2 h9g7", StartFen, 2},
        {"position startpos moves h2e2 h9g7", StartFen, 2},
        {"position startpos moves h2e2 a0a5 h9g7", StartFen, 2},
        {"position startpos h2e2", StartFen, 0},
        // Two spaces between the fields keep the side to move.
        {"position fen rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR  b   - - 0 1",
         "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1", 0},
        // Fewer than six fields: what is there is read.
        {"position fen rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b",
         "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1", 0},
        {"position fen", "", 0},
        {"probe fen", "", 0},
    };
    for (const Case& c : cases) {
        SplitLine line(c.line.c_str());
        LoadUcciPosition(engine, engine.game, line.words, line.count);
        LoadByHand(Expected, c.fen, opening, c.moves);
        ExpectSamePosition(engine.game, Expected, c.line);
    }
}

TEST_F(PositionLoading, ALoadedGameKnowsItsRepetitions) {
    SplitLine line(
        ("position fen " + std::string(StartFen) + " moves h0g2 h9g7 g2h0 g7h9 h0g2 h9g7 g2h0 g7h9")
            .c_str());
    LoadUcciPosition(engine, engine.game, line.words, line.count);
    EXPECT_EQ(engine.game.MoveCount, 8u);
    EXPECT_NE(DetectRepetition(engine.game), 0);
}

// The same moves under both rules: UCCI leaves out what cannot be played and
// tries the rest, and tells of malformed move texts; UCI stops at the first
// move it cannot play or read, silently.
TEST_F(PositionLoading, BothRulesForAMoveThatCannotBePlayed) {
    struct Case {
        std::vector<const char*> moves;
        int skipPlayed;    // moves of h2e2 h9g7 h0g2 played when skipping
        int stopPlayed;    // ... when stopping
        const char* told;  // what UCCI writes while skipping
    };
    const Case cases[] = {
        {{"h2e2", "h9g7", "h0g2"}, 3, 3, ""},
        {{"h2e2", "a0a5", "h9g7", "h0g2"}, 3, 1, ""},
        {{"h2e2", "h2e2", "h9g7", "h0g2"}, 3, 1, ""},
        {{"x2e2", "h2e2", "h9g7", "h0g2"}, 3, 0, "the moveString char is wrong.\n"},
        {{"h2e2", "9h", "h9g7", "h0g2"},
         3,
         1,
         "the moveString sequence is wrong.\nthe moveString sequence is wrong.\n"
         "the moveString char is wrong.\nthe moveString char is wrong.\n"},
        {{"h2e2", "h9g7", "h0g2x"}, 3, 2, ""},
    };
    const char* const played[] = {"h2e2", "h9g7", "h0g2"};
    for (const Case& c : cases) {
        std::vector<std::string> texts(c.moves.begin(), c.moves.end());
        std::vector<char*> words;
        for (std::string& t : texts) words.push_back(&t[0]);
        const int count = int(words.size());

        engine.uci = false;
        LoadGameWords(engine, engine.game, StartFen, words.data(), count, SkipIllegalMoves);
        LoadByHand(Expected, StartFen, played, c.skipPlayed);
        ExpectSamePosition(engine.game, Expected, "skipping");
        EXPECT_EQ(Written(), c.told);

        engine.uci = true;
        LoadGameWords(engine, engine.game, nullptr, words.data(), count, StopAtIllegalMove);
        LoadByHand(Expected, StartFen, played, c.stopPlayed);
        ExpectSamePosition(engine.game, Expected, "stopping");
        EXPECT_EQ(Written(), "");
    }
}

// A placement no game reaches is refused whole: the position stays, and the
// moves listed after it are not played on the position kept.
// A first position that is refused leaves none set: "go" then searches the
// start position, never a position nothing loaded.
TEST_F(PositionLoading, ARefusedFirstPositionSetsNone) {
    Run("ucci");
    Run("position fen 4k4/9/9/9/9/9/9/9/9/K8 w - - 0 1 moves a0a1");
    EXPECT_FALSE(engine.positionSet);
    Run("probe fen 4k4/9/9/9/9/9/9/9/9/K8 w - - 0 1");
    LoadByHand(Expected, StartFen, nullptr, 0);
    ExpectSamePosition(engine.probe, Expected, "probe");
    ExpectSamePosition(GamePosition(engine), Expected, "game");
}

TEST_F(PositionLoading, ARefusedPlacementKeepsThePositionAndItsMoves) {
    char h2e2[] = "h2e2";
    char* moves[] = {h2e2};
    for (const bool uci : {false, true}) {
        engine.uci = uci;
        LoadGameWords(engine, engine.game, StartFen, nullptr, 0, SkipIllegalMoves);
        LoadGameWords(engine, engine.game, "4k4/9/9/9/9/9/9/9/9/K8 w - - 0 1", moves, 1,
                      uci ? StopAtIllegalMove : SkipIllegalMoves);
        LoadByHand(Expected, StartFen, nullptr, 0);
        ExpectSamePosition(engine.game, Expected, uci ? "uci" : "ucci");
        EXPECT_EQ(Written(), std::string(uci ? "info string " : "info ") +
                                 "position refused: no game reaches it\n");
    }
}

}  // namespace
