// The count of plies without a capture: histories written move by move (who
// checks, who captures), then whole games on the board.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "rules/rules.h"
#include "rules_test_support.h"
#include "support/reference_rules.h"

namespace {

// A history from one letter per move: '.' quiet, '+' check, 'x' capture,
// all with distinct keys. Red moves first.
struct WrittenHistory {
    std::vector<MoveRecord> moves;
    std::vector<uint64_t> keys;
    explicit WrittenHistory(const std::string& letters) {
        moves.push_back(MoveRecord{});
        keys.push_back(0);
        for (char c : letters) {
            MoveRecord r = RecordOf(SquareNamed("a0"), SquareNamed("a1"));
            r.givesCheck = c == '+';
            r.captured = c == 'x' ? 43 : 0;
            moves.push_back(r);
            keys.push_back(keys.size());
        }
    }
    GameHistory View() const {
        return GameHistory{moves.data(), keys.data(), uint32_t(moves.size() - 1)};
    }
    uint32_t SideToMove() const { return (moves.size() - 1) % 2 == 0 ? Red : Black; }
};

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; i++) out += s;
    return out;
}

TEST(QuietPlies, ChecksBeyondTheTenthAndTheirRepliesDoNotCount) {
    struct Case {
        std::string letters;
        uint32_t counted;
        const char* why;
    } cases[] = {
        {"", 0, "no move"},
        {Repeat(".", 119), 119, "quiet plies count one each"},
        {Repeat(".", 50) + "x" + Repeat(".", 30), 30, "the count starts after the capture"},
        {Repeat(".", 30) + "x", 0, "a capture restarts it"},
        {Repeat("+.", 10), 20, "red's first ten checks count, and the replies"},
        {Repeat("+.", 12), 20, "red's eleventh and twelfth checks and replies do not"},
        {Repeat("+.", 12) + "..", 22, "quiet plies after them count again"},
        {Repeat("++", 12), 20, "each side's own ten: every later ply is a check or a reply"},
        {Repeat(".+", 11) + ".", 21, "black's eleventh check and red's reply are left out"},
        {"x" + Repeat("+.", 10) + "x" + Repeat("+.", 10), 20, "checks are counted per stretch"},
        {Repeat("+.", 10) + "." + Repeat("+.", 5), 31, "black's checks do not use up red's quota"},
    };
    for (const Case& c : cases) {
        const WrittenHistory h(c.letters);
        EXPECT_EQ(QuietPlies(h.View(), h.SideToMove(), StandardRules), c.counted)
            << c.letters << ": " << c.why;
    }
}

// The slow way to the same count: replay the stretch ply by ply from the
// start of the history.
uint32_t SlowQuietPlies(const std::string& letters) {
    uint32_t counted = 0, checks[2] = {0, 0};
    bool skipReply = false;
    for (size_t i = 0; i < letters.size(); i++) {
        const uint32_t side = uint32_t(i % 2);
        if (letters[i] == 'x') {
            counted = 0;
            checks[0] = checks[1] = 0;
            skipReply = false;
            continue;
        }
        bool extra = false;
        if (letters[i] == '+') extra = ++checks[side] > 10;
        if (!extra && !skipReply) counted++;
        skipReply = extra;
    }
    return counted;
}

TEST(QuietPlies, AgreeWithAPlyByPlyCountOnRandomHistories) {
    std::mt19937 rng(120);
    for (int i = 0; i < 300; i++) {
        std::string letters;
        const int length = int(rng() % 300);
        for (int j = 0; j < length; j++) letters += "..++++x"[rng() % (i % 2 ? 7 : 6)];
        const WrittenHistory h(letters);
        ASSERT_EQ(QuietPlies(h.View(), h.SideToMove(), StandardRules), SlowQuietPlies(letters))
            << letters;
    }
}

// On the board: the 120th counted ply draws unless the side to move is mated.
TEST(QuietPlies, TheLimitDrawsUnlessTheSideToMoveIsMated) {
    const WrittenHistory quiet(Repeat(".", 120)), short_(Repeat(".", 119));
    struct Case {
        const char* fen;
        const WrittenHistory& history;
        Ruling ruling;
    } cases[] = {
        {"4k4/9/9/9/9/9/9/9/9/3K5 w", quiet, RulingDraw},
        {"4k4/9/9/9/9/9/9/9/9/3K5 w", short_, RulingNone},
        {"R3k4/R8/9/9/9/9/9/9/9/3K5 b", quiet, RulingBlackLoses},  // mated
        {"R3k4/R8/9/9/9/9/9/9/9/3K5 b", short_, RulingBlackLoses},
        {"3k5/2P6/4R4/9/9/9/9/9/9/5K3 b", short_, RulingBlackLoses},  // stalemated
    };
    for (const Case& c : cases) {
        LoadFen(c.fen, GameBoard());
        EXPECT_EQ(JudgeGameEnd(GameBoard(), c.history.View(), StandardRules), c.ruling) << c.fen;
    }
}

}  // namespace
