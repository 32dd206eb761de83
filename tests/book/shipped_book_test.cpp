// The book in the repository: every line well-formed and legal, the limits of
// the format kept, and the start position covered.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_test_support.h"
#include "support/fen_text.h"
#include "support/reference_rules.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> ShippedLines() {
    const std::string text = ReadFile(QUILLON_SOURCE_DIR "/book.TXT");
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool IsDecimal(const std::string& text) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return std::stoul(text) <= MaxBookWeight;
}

TEST(ShippedBook, EveryLineIsWellFormedAndLegal) {
    const std::vector<std::string> lines = ShippedLines();
    ASSERT_GT(lines.size(), 0u);
    std::map<std::string, std::set<std::string>> movesOfPosition;
    Position& pos = ScratchPosition();
    for (const std::string& line : lines) {
        ASSERT_LE(line.size(), 97u) << line;
        EXPECT_EQ(line.find('\r'), std::string::npos) << line;
        ASSERT_GT(line.size(), 7u) << line;
        const std::string move = line.substr(0, 4);
        ASSERT_EQ(line[4], ' ') << line;
        const size_t weightEnd = line.find(' ', 5);
        ASSERT_NE(weightEnd, std::string::npos) << line;
        EXPECT_TRUE(IsDecimal(line.substr(5, weightEnd - 5))) << line;
        const std::string fen = line.substr(weightEnd + 1);

        // The FEN has all six fields and is exactly what the position gives back.
        LoadFen(fen.c_str(), pos);
        EXPECT_EQ(FenOfPosition(pos), fen) << line;
        EXPECT_EQ(CheckInvariants(pos), "") << line;

        // The move is legal there, by the slow reference rules as well.
        testing::internal::CaptureStdout();
        MoveRecord record = ParseMoveString(move.c_str());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << line;
        const std::vector<RefMove> legal = RefLegalMoves(pos);
        EXPECT_NE(std::find(legal.begin(), legal.end(), RefMove{record.from, record.to}),
                  legal.end())
            << line;
        EXPECT_TRUE(IsPseudoLegal(pos, record)) << line;
        EXPECT_TRUE(MakeMove(record, pos)) << line;

        EXPECT_TRUE(movesOfPosition[fen].insert(move).second) << "twice: " << line;
    }
    for (const auto& position : movesOfPosition)
        EXPECT_LE(position.second.size(), size_t(BookMovesPerSlot)) << position.first;
}

TEST(ShippedBook, LoadsCompletely) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    const std::vector<std::string> lines = ShippedLines();
    ClearBook(book);
    for (const std::string& line : lines) EXPECT_TRUE(AddBookLine(book, line.c_str())) << line;
    EXPECT_EQ(StoredMoveCount(book), int(lines.size()));

    ASSERT_TRUE(LoadBookFile(book, QUILLON_SOURCE_DIR "/book.TXT"));
    EXPECT_EQ(StoredMoveCount(book), int(lines.size()));
    // Each position's moves in the order of the file.
    for (const std::string& line : lines) {
        const std::string fen = line.substr(line.find(' ', 5) + 1);
        const BookSlot* slot = FindSlot(book, KeyOfFen(fen.c_str()));
        ASSERT_NE(slot, nullptr) << line;
        EXPECT_EQ(SlotsHoldingKey(book, KeyOfFen(fen.c_str())), 1) << line;
        bool found = false;
        for (int j = 0; j < slot->Count; j++)
            found = found || slot->Moves[j] == MoveOfText(line.c_str());
        EXPECT_TRUE(found) << line;
    }
}

TEST(ShippedBook, StartPositionHasBookMoves) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    ASSERT_TRUE(LoadBookFile(book, QUILLON_SOURCE_DIR "/book.TXT"));
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    std::set<Move> seen;
    for (int i = 0; i < 200; i++) {
        Move move = 0;
        ASSERT_TRUE(ChooseBookMove(book, pos, move));
        seen.insert(move);
    }
    EXPECT_GT(seen.size(), 1u);
    // And after a common first move, black has an answer.
    MoveRecord record = ParseMoveString("h2e2");
    ASSERT_TRUE(MakeMove(record, pos));
    Move reply = 0;
    EXPECT_TRUE(ChooseBookMove(book, pos, reply));
}

}  // namespace
