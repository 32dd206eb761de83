#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "position/position.h"

namespace {

struct ParseCase {
    const char* text;
    uint32_t from, to;
    const char* messages;
};

const char* const CharWrong = "the moveString char is wrong.\n";
const char* const SequenceWrong = "the moveString sequence is wrong.\n";

// The faults as the UCCI shell words them, one line each.
std::string Messages(const MoveTextFaults& faults) {
    std::string text;
    for (int i = 0; i < faults.count; i++)
        text += faults.fault[i] == MoveTextCharWrong ? CharWrong : SequenceWrong;
    return text;
}

TEST(Notation, ParseMoveString) {
    const std::string two = std::string(CharWrong) + CharWrong;
    const std::string seq2 = std::string(SequenceWrong) + SequenceWrong;
    const ParseCase cases[] = {
        {"a0i9", 145, 36, ""},
        {"e2e4", 123, 97, ""},
        {"h2e2", 126, 123, ""},
        {"h0g2", 152, 125, ""},
        {"b9c7", 29, 56, ""},
        {"h2e2 trailing", 126, 123, ""},
        {"x2e2", 119, 123, CharWrong},
        {"2he2", 28, 123, seq2.c_str()},
        {"H2E2", 119, 119, two.c_str()},
        {"j2e2", 119, 123, CharWrong},
    };
    for (const ParseCase& c : cases) {
        testing::internal::CaptureStdout();
        MoveTextFaults faults;
        const MoveRecord r = ParseMoveString(c.text, &faults);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.text;
        EXPECT_EQ(Messages(faults), c.messages) << c.text;
        EXPECT_EQ(ParseMoveString(c.text).from, r.from) << c.text;
        EXPECT_EQ(r.from, c.from) << c.text;
        EXPECT_EQ(r.to, c.to) << c.text;
        EXPECT_EQ(r.captured, 0u);
        EXPECT_EQ(r.givesCheck, 0);
        EXPECT_EQ(r.score, 0);
    }
}

// A short word is never read past its end (each case sits in a buffer of
// exactly its own size, so the sanitizers would catch a stray read); every
// missing character counts as a wrong one.
TEST(Notation, ShortWordsAreNotReadPastTheirEnd) {
    const struct {
        const char* text;
        int messages;
        uint32_t from, to;
    } cases[] = {{"", 4, 28, 28}, {"x", 4, 28, 28}, {"e2", 2, 123, 28}, {"e2e", 1, 123, 32}};
    for (const auto& c : cases) {
        const size_t size = std::strlen(c.text) + 1;
        std::unique_ptr<char[]> exact(new char[size]);
        std::memcpy(exact.get(), c.text, size);
        MoveTextFaults faults;
        const MoveRecord r = ParseMoveString(exact.get(), &faults);
        const std::string out = Messages(faults);
        std::string expected;
        for (int i = 0; i < c.messages; i++) expected += CharWrong;
        EXPECT_EQ(out, expected) << '"' << c.text << '"';
        EXPECT_EQ(r.from, c.from);
        EXPECT_EQ(r.to, c.to);
    }
}

TEST(Notation, IsMoveTextTakesExactlyFourCoordinates) {
    const struct {
        const char* text;
        bool move;
    } cases[] = {
        {"h2e2", true},  {"a0i9", true},   {"i9a0", true},    {"h2e", false},  {"h2e2x", false},
        {"", false},     {"H2e2", false},  {"j2e2", false},   {"h2e:", false}, {"22e2", false},
        {"hhe2", false}, {"h2e2 ", false}, {"(none)", false},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(IsMoveText(c.text), c.move) << '"' << c.text << '"';
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << '"' << c.text << '"';
    }
}

TEST(Notation, RoundTripOnEverySquare) {
    for (uint32_t from = 0; from < BoardSquares; from++) {
        if (!SquareOnBoard[from]) continue;
        for (uint32_t to = 0; to < BoardSquares; to++) {
            if (!SquareOnBoard[to]) continue;
            char text[5];
            FormatMove(from, to, text);
            const MoveRecord r = ParseMoveString(text);
            ASSERT_EQ(r.from, from);
            ASSERT_EQ(r.to, to);
        }
    }
    char text[5];
    FormatMove(126, 123, text);
    EXPECT_STREQ(text, "h2e2");
}

}  // namespace
