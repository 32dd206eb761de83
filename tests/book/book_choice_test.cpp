// The book's move for "go": weighted, and never an illegal move.

#include <gtest/gtest.h>

#include <string>

#include "book/book.h"
#include "book/book_test_support.h"
#include "position/random.h"
#include "support/reference_rules.h"

namespace {

const std::string Start = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

DrawCounts Counts;

void LoadBookText(Book& book, const std::string& text) {
    const TempBookFile file(text);
    ASSERT_TRUE(LoadBookFile(book, file.path.c_str()));
}

TEST(BookChoice, ThreeToOneAndNeverWeightZero) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    LoadBookText(book, "h2e2 3 " + Start + "\nb0c2 1 " + Start + "\ng0e2 0 " + Start + "\n");
    Position& pos = ScratchPosition();
    LoadFen(Start.c_str(), pos);
    const uint64_t key = CurrentKey(pos);
    SeedRandom(12345);
    const int draws = 40000;
    CountBookDraws(book, pos, draws, Counts);
    EXPECT_EQ(Counts.misses, 0);
    EXPECT_NEAR(double(Counts.hits[MoveOfText("h2e2")]) / draws, 0.75, 0.015);
    EXPECT_NEAR(double(Counts.hits[MoveOfText("b0c2")]) / draws, 0.25, 0.015);
    EXPECT_EQ(Counts.hits[MoveOfText("g0e2")], 0);
    // The position is left as it was.
    EXPECT_EQ(CurrentKey(pos), key);
    EXPECT_EQ(pos.MoveCount, 0u);
    EXPECT_EQ(CheckInvariants(pos), "");
}

struct ChoiceCase {
    const char* name;
    std::string book;
    std::string fen;
    const char* move;  // nullptr: no book move
};

TEST(BookChoice, OnlyLegalMovesArePlayed) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    const std::string pinned = "4k4/9/9/9/9/9/9/9/4R4/4K4 w - - 0 1";
    const ChoiceCase cases[] = {
        {"a legal move", "h2e2 3 " + Start + "\n", Start, "h2e2"},
        {"not in the book", "h2e2 3 " + Start + "\n", pinned, nullptr},
        {"all weights zero", "h2e2 0 " + Start + "\nb0c2 0 " + Start + "\n", Start, nullptr},
        {"blocked rook", "a0a5 3 " + Start + "\n", Start, nullptr},
        {"from an empty square", "e2e4 3 " + Start + "\n", Start, nullptr},
        {"the other side's piece", "h7e7 3 " + Start + "\n", Start, nullptr},
        {"onto an own piece", "a0b0 3 " + Start + "\n", Start, nullptr},
        {"exposes the king to the other king", "e1d1 3 " + pinned + "\n", pinned, nullptr},
        {"legal move of the pinned position", "e1e5 3 " + pinned + "\n", pinned, "e1e5"},
        {"side to move decides", "h2e2 3 " + Start.substr(0, Start.size() - 9) + "b - - 0 1\n",
         Start, nullptr},
    };
    Position& pos = ScratchPosition();
    for (const ChoiceCase& c : cases) {
        LoadBookText(book, c.book);
        LoadFen(c.fen.c_str(), pos);
        const uint64_t key = CurrentKey(pos);
        for (int i = 0; i < 20; i++) {
            Move move = 0;
            const bool found = ChooseBookMove(book, pos, move);
            EXPECT_EQ(found, c.move != nullptr) << c.name;
            if (found && c.move) {
                EXPECT_EQ(move, MoveOfText(c.move)) << c.name;
            }
        }
        EXPECT_EQ(CurrentKey(pos), key) << c.name;
        EXPECT_EQ(pos.MoveCount, 0u) << c.name;
    }
}

// Moves that no file could hold (squares off the board) are refused before
// anything is looked up on them.
TEST(BookChoice, OffBoardSquaresAreRefused) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    Position& pos = ScratchPosition();
    LoadFen(Start.c_str(), pos);
    const uint64_t key = CurrentKey(pos);
    const uint32_t squares[][2] = {{0, 123}, {126, 0}, {200, 123}, {126, 255}, {255, 255}};
    for (const auto& s : squares) {
        ClearBook(book);
        AddBookMove(book, KeyLow(key), KeyHigh(key), s[0], s[1], 5);
        Move move = 0;
        EXPECT_FALSE(ChooseBookMove(book, pos, move)) << s[0] << " " << s[1];
    }
}

TEST(BookChoice, MissingBookMeansSearch) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    LoadBookFile(book, (testing::TempDir() + "quillon_missing/book.TXT").c_str());
    Position& pos = ScratchPosition();
    LoadFen(Start.c_str(), pos);
    Move move = 0;
    EXPECT_FALSE(ChooseBookMove(book, pos, move));
}

}  // namespace
