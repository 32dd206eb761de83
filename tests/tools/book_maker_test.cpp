// The book maker: what it writes for small repertoires, what it refuses, and
// that the committed book is exactly what it makes of the committed repertoire.

#include "support/book_maker.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string Start = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";
const std::string AfterH2e2 =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1";
// Rows that reach one position by different move orders (h2e2 h9g7 b0c2 and
// b0c2 h9g7 h2e2) and share first moves; lines come in order of first
// appearance, moves of a position together.
const std::string TranspositionRows =
    "h2e2 h9g7 b0c2 i9h9:3\nb0c2 h9g7 h2e2 b9c7:4\nh0g2:5\nh2e2:7 b9c7\nh0g2 h9g7\n";
const std::string TranspositionBook =
    "h2e2 7 rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1\n"
    "b0c2 10 rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1\n"
    "h0g2 5 rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1\n"
    "h9g7 10 rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1\n"
    "b9c7 10 rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1\n"
    "b0c2 10 rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w - - 0 1\n"
    "i9h9 3 rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN1C4/9/R1BAKABNR b - - 0 1\n"
    "b9c7 4 rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN1C4/9/R1BAKABNR b - - 0 1\n"
    "h9g7 10 rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1CN4C1/9/R1BAKABNR b - - 0 1\n"
    "h2e2 10 rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN4C1/9/R1BAKABNR w - - 0 1\n"
    "h9g7 10 rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C4NC1/9/RNBAKAB1R b - - 0 1\n";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct MakeCase {
    const char* name;
    std::string repertoire;
    std::string book;
};

TEST(BookMaker, WritesOneLinePerPositionAndMove) {
    const MakeCase cases[] = {
        {"one move, default weight", "h2e2\n", "h2e2 10 " + Start + "\n"},
        {"comments, blanks, CR LF and tabs", "# comment\n\n  h2e2:30\t# trailing\r\n",
         "h2e2 30 " + Start + "\n"},
        {"weight given on a later row", "h2e2 h9g7\nh2e2:50\n",
         "h2e2 50 " + Start + "\nh9g7 10 " + AfterH2e2 + "\n"},
        {"same weight twice", "h2e2:50\nh2e2:50 h9g7:0\n",
         "h2e2 50 " + Start + "\nh9g7 0 " + AfterH2e2 + "\n"},
        {"order of first appearance, transpositions", TranspositionRows, TranspositionBook},
        {"no rows at all", "# nothing\n\n", ""},
    };
    for (const MakeCase& c : cases) {
        std::string book, error;
        BookStats stats;
        ASSERT_TRUE(MakeBookText(c.repertoire, "rep", book, error, stats)) << c.name << error;
        EXPECT_EQ(book, c.book) << c.name;
    }
}

struct RefuseCase {
    const char* name;
    std::string repertoire;
    std::string message;
};

TEST(BookMaker, RefusesBadRows) {
    std::string twentyOne;
    const char* firstMoves[] = {"a0a1", "a0a2", "i0i1", "i0i2", "b0a2", "b0c2", "h0g2",
                                "h0i2", "c0a2", "c0e2", "g0e2", "g0i2", "d0e1", "f0e1",
                                "e0e1", "a3a4", "c3c4", "e3e4", "g3g4", "i3i4", "b2b1"};
    for (const char* move : firstMoves) twentyOne += std::string(move) + "\n";
    const RefuseCase cases[] = {
        {"illegal move", "# a comment\n\nh2e2 h9g7 h2e3\n",
         "rep:3: illegal move h2e3 (move 3 of the row) in "
         "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w - - 0 1"},
        {"move of the wrong side", "h9g7\n", "rep:1: illegal move h9g7 (move 1 of the row)"},
        {"move into check", "h2e2 b9c7 e2e6 d9e8\n",
         "rep:1: illegal move d9e8 (move 4 of the row)"},
        {"malformed move", "h2e2 h9g\n", "rep:1: malformed move 'h9g' (move 2 of the row)"},
        {"upper case", "H2E2\n", "rep:1: malformed move 'H2E2'"},
        {"weight too large", "h2e2:65536\n", "rep:1: malformed move 'h2e2:65536'"},
        {"weight not a number", "h2e2:-1\n", "rep:1: malformed move 'h2e2:-1'"},
        {"empty weight", "h2e2:\n", "rep:1: malformed move 'h2e2:'"},
        {"conflicting weights", "h2e2:5\n\nh2e2:6\n",
         "rep:3: weight 6 of h2e2 differs from 5 given on line 1"},
        {"more than twenty moves", twentyOne,
         "rep:21: more than 20 book moves with b2b1 in " + Start},
    };
    for (const RefuseCase& c : cases) {
        std::string book = "stale", error;
        BookStats stats;
        EXPECT_FALSE(MakeBookText(c.repertoire, "rep", book, error, stats)) << c.name;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.name << ": " << error;
        EXPECT_EQ(book, "") << c.name;
    }
}

// The committed book is the maker's output for the committed repertoire.
TEST(BookMaker, CommittedBookMatchesRepertoire) {
    const std::string repertoire = ReadFile(QUILLON_SOURCE_DIR "/tools/repertoire.txt");
    ASSERT_FALSE(repertoire.empty());
    std::string book, error;
    BookStats stats;
    ASSERT_TRUE(MakeBookText(repertoire, "tools/repertoire.txt", book, error, stats)) << error;
    EXPECT_TRUE(book == ReadFile(QUILLON_SOURCE_DIR "/book.TXT"))
        << "book.TXT is stale: cmake --build build --target update_book";
    EXPECT_LE(stats.maxMoves, 20);
    EXPECT_LE(stats.longestLine, MaxBookLineChars);
}

}  // namespace
