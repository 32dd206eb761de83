#include "shell/position_words.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/tokenizer.h"

namespace {

struct SplitLine {
    char text[1024];
    char* words[WordListSize];
    int count;
    explicit SplitLine(const std::string& line) {
        std::strcpy(text, line.c_str());
        count = SplitWords(text, words, WordListSize);
    }
};

TEST(PositionWords, TheFenIsJoinedFromTheWordsThemselves) {
    struct Case {
        const char* line;
        const char* fen;
        int moves;
    };
    const Case cases[] = {
        {"position fen 9/9 w - - 0 1", "9/9 w - - 0 1", 0},
        {"position fen 9/9  b   - - 0 1", "9/9 b - - 0 1", 0},
        {"position fen 9/9 b", "9/9 b", 0},
        {"position fen", "", 0},
        {"position fen 9/9 w - - 0 1 moves", "9/9 w - - 0 1", 0},
        {"position fen 9/9 w - - 0 1 moves h2e2", "9/9 w - - 0 1", 1},
        {"position fen 9/9 w - - 0 1 moves h2e2 h9g7", "9/9 w - - 0 1", 2},
        {"position fen 9/9 w - - 0 1 MOVES h2e2", "9/9 w - - 0 1", 1},
        {"position fen 9/9 w - - 0 1 next h2e2", "9/9 w - - 0 1", 0},
        {"position fen 9/9 w moves h2e2", "9/9 w moves h2e2", 0},
    };
    for (const Case& c : cases) {
        SplitLine line(c.line);
        char fen[1024];
        std::memset(fen, 'X', sizeof fen);
        JoinFenWords(line.words, line.count, fen, sizeof fen);
        EXPECT_STREQ(fen, c.fen) << c.line;
        EXPECT_EQ(CountListedMoves(line.words, line.count), c.moves) << c.line;
    }
}

TEST(PositionWords, TheJoinedFenIsCutToItsRoom) {
    SplitLine line("position fen abcdef ghi");
    char fen[8];
    std::memset(fen, 'X', sizeof fen);
    JoinFenWords(line.words, line.count, fen, sizeof fen);
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

Position Loaded, Expected;

TEST(PositionWords, LoadsTheFenAndPlaysTheListedMoves) {
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
        {"position fen " + start + " moves", StartFen, 0},
        {"position fen " + start + " then h2e2", StartFen, 0},
        // An illegal move is left out; the moves after it are still tried.
        {"position fen " + start + " moves h2e2 a0a5 h9g7", StartFen, 2},
        {"position fen " + start + " moves h2e2 h2e2 h9g7", StartFen, 2},
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
        SplitLine line(c.line);
        LoadPositionFromWords(Loaded, line.words, line.count);
        LoadByHand(Expected, c.fen, opening, c.moves);
        ExpectSamePosition(Loaded, Expected, c.line);
    }
}

TEST(PositionWords, ALoadedGameKnowsItsRepetitions) {
    SplitLine line("position fen " + std::string(StartFen) +
                   " moves h0g2 h9g7 g2h0 g7h9 h0g2 h9g7 g2h0 g7h9");
    LoadPositionFromWords(Loaded, line.words, line.count);
    EXPECT_EQ(Loaded.MoveCount, 8u);
    EXPECT_NE(DetectRepetition(Loaded), 0);
}

}  // namespace
