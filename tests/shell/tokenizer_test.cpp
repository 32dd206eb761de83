#include "shell/tokenizer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& text) {
    char line[1024];
    std::memset(line, 'X', sizeof line);
    std::memcpy(line, text.c_str(), text.size() + 1);
    char* words[WordListSize];
    int count = SplitWords(line, words, WordListSize);
    EXPECT_STREQ(words[count], "") << "the end entry of \"" << text << "\"";
    return std::vector<std::string>(words, words + count);
}

typedef std::vector<std::string> Words;

TEST(SplitWords, SeparatesOnRunsOfSpacesOnly) {
    struct Case {
        const char* line;
        Words words;
    };
    const Case cases[] = {
        {"go depth 5", {"go", "depth", "5"}},
        {"   go    depth  5", {"go", "depth", "5"}},
        {"go depth 5   ", {"go", "depth", "5"}},
        {"", {}},
        {"     ", {}},
        {"go\tdepth 5", {"go\tdepth", "5"}},
        {"go depth 5\nquit", {"go", "depth", "5"}},
        {"go depth\r5", {"go", "depth"}},
        {"stop\r\n", {"stop"}},
        {"\nquit", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Split(c.line), c.words) << "line \"" << c.line << "\"";
}

TEST(SplitWords, ReadsAndWritesNothingBeyondTheLineEnd) {
    char line[] = "go depth\n5 more";
    char* words[WordListSize];
    ASSERT_EQ(SplitWords(line, words, WordListSize), 2);
    EXPECT_STREQ(line + 9, "5 more");
}

TEST(SplitWords, AShorterLineNeverShowsTheEarlierLinesWords) {
    char line[64];
    char* words[WordListSize];
    std::strcpy(line, "go time 1000 increment 200 movestogo 30");
    ASSERT_EQ(SplitWords(line, words, WordListSize), 7);
    std::strcpy(line, "go time");
    int count = SplitWords(line, words, WordListSize);
    ASSERT_EQ(count, 2);
    for (int i = 2; i < 8; i++) EXPECT_STREQ(WordAt(words, count, i), "") << "index " << i;
    EXPECT_STREQ(WordAt(words, count, -1), "");
}

TEST(SplitWords, TakesNoMoreWordsThanTheListHolds) {
    char line[] = "a b c d e f";
    char* words[4];
    int count = SplitWords(line, words, 4);
    ASSERT_EQ(count, 3);
    EXPECT_STREQ(words[2], "c");
    EXPECT_STREQ(words[3], "");
}

TEST(SplitWords, AFullLineOfOneLetterWordsFitsTheList) {
    std::string text;
    for (int i = 0; i < 512; i++) text += i == 0 ? "a" : " a";
    text.resize(1023);  // the longest line a channel hands out
    EXPECT_EQ(Split(text).size(), 512u);
}

TEST(KeywordOf, TheTableIgnoringCaseOnWholeWords) {
    struct Case {
        const char* word;
        CommandToken token;
    };
    const Case cases[] = {
        {"ucci", 1},
        {"position", 2},
        {"fen", 3},
        {"moves", 4},
        {"go", 5},
        {"depth", 6},
        {"stop", 7},
        {"quit", 8},
        {"infinite", 9},
        {"inf", 9},
        {"time", 10},
        {"movestogo", 11},
        {"probe", 12},
        {"increment", 13},
        {"setoption", 14},
        {"true", 15},
        {"false", 16},
        {"usebook", 17},
        {"banmoves", 18},
        {"use_history_pruning", 19},
        {"check_in_quiescence", 20},
        {"GO", 5},
        {"Infinite", 9},
        {"INF", 9},
        {"TRUE", 15},
        {"Use_History_Pruning", 19},
        {"uci", 27},
        {"UCI", 27},
        {"ucinewgame", 28},
        {"wtime", 29},
        {"btime", 30},
        {"winc", 31},
        {"binc", 32},
        {"movetime", 33},
        {"name", 34},
        {"Value", 35},
        {"ucin", 0},
        {"", 0},
        {"goes", 0},
        {"stopped", 0},
        {"g", 0},
        {"in", 0},
        {"go\t", 0},
        {"usemillisec", 0},
        {"\xc7\xef", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeywordOf(c.word), c.token) << "word \"" << c.word << "\"";
}

TEST(KeywordOf, OptionLineWords) {
    char line[] = "setoption usebook TRUE";
    char* words[WordListSize];
    ASSERT_EQ(SplitWords(line, words, WordListSize), 3);
    EXPECT_EQ(KeywordOf(words[0]), 14);
    EXPECT_EQ(KeywordOf(words[1]), 17);
    EXPECT_EQ(KeywordOf(words[2]), 15);
}

TEST(ReadInteger, ReadsAsAtoiButSaturates) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"5", 5},
        {"-5", -5},
        {"+17", 17},
        {"0", 0},
        {"", 0},
        {"abc", 0},
        {"12abc", 12},
        {"\t 42", 42},
        {"- 5", 0},
        {"--5", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", -2147483647 - 1},
        {"99999999999", 2147483647},
        {"-99999999999999999999999999", -2147483647 - 1},
        {"000000000000000000000000007", 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadInteger(c.text), c.value) << "text \"" << c.text << "\"";
}

}  // namespace
