// The table on its own: storing moves, the limits of a slot and of a key's
// slot sequence, and the weighted choice.

#include <gtest/gtest.h>

#include <cmath>

#include "book/book.h"
#include "book/book_test_support.h"
#include "position/random.h"

namespace {

// Draws ProbeBook many times for one key; counts per stored move index.
void CountProbes(const Book& book, uint64_t key, const Move* moves, int moveCount, int draws,
                 int* counts, int& misses) {
    misses = 0;
    for (int j = 0; j < moveCount; j++) counts[j] = 0;
    for (int i = 0; i < draws; i++) {
        Move move = 0;
        if (!ProbeBook(book, KeyLow(key), KeyHigh(key), move)) {
            misses++;
            continue;
        }
        for (int j = 0; j < moveCount; j++)
            if (moves[j] == move) counts[j]++;
    }
}

TEST(BookTable, StoresMovesInOrderPerKey) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    ClearBook(book);
    const uint64_t a = 0x0123456789ABCDEFull, b = 0x0123456689ABCDEFull;
    EXPECT_TRUE(AddBookMove(book, KeyLow(a), KeyHigh(a), 126, 123, 3));
    EXPECT_TRUE(AddBookMove(book, KeyLow(b), KeyHigh(b), 152, 125, 4));  // same low half
    EXPECT_TRUE(AddBookMove(book, KeyLow(a), KeyHigh(a), 152, 125, 1));
    EXPECT_TRUE(AddBookMove(book, KeyLow(a), KeyHigh(a), 126, 123, 2));  // duplicates are kept
    ASSERT_NE(FindSlot(book, a), nullptr);
    ASSERT_NE(FindSlot(book, b), nullptr);
    EXPECT_EQ(SlotsHoldingKey(book, a), 1);
    const BookSlot& slot = *FindSlot(book, a);
    ASSERT_EQ(slot.Count, 3);
    EXPECT_EQ(slot.Moves[0], MoveCode(126, 123));
    EXPECT_EQ(slot.Moves[1], MoveCode(152, 125));
    EXPECT_EQ(slot.Moves[2], MoveCode(126, 123));
    EXPECT_EQ(slot.Weights[0], 3);
    EXPECT_EQ(slot.Weights[2], 2);
    EXPECT_EQ(FindSlot(book, b)->Count, 1);
    EXPECT_EQ(StoredMoveCount(book), 4);

    ClearBook(book);
    EXPECT_EQ(StoredMoveCount(book), 0);
    Move move = 0;
    EXPECT_FALSE(ProbeBook(book, KeyLow(a), KeyHigh(a), move));
}

// A slot holds 20 moves; a 21st and later ones are ignored, and nothing
// spills into the neighbouring slots.
TEST(BookTable, TwentyMovesPerPosition) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    ClearBook(book);
    const uint64_t key = 0xFEDCBA9876543210ull;
    for (uint32_t i = 0; i < 30; i++)
        EXPECT_EQ(AddBookMove(book, KeyLow(key), KeyHigh(key), 28 + i, 145 + (i % 9), 1), i < 20)
            << i;
    const BookSlot* slot = FindSlot(book, key);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->Count, 20);
    for (uint32_t i = 0; i < 20; i++) EXPECT_EQ(slot->Moves[i], MoveCode(28 + i, 145 + (i % 9)));
    EXPECT_EQ(StoredMoveCount(book), 20);
    EXPECT_EQ(SlotsHoldingKey(book, key), 1);
}

// Keys that share their low half share one sequence of 40 slots. Once all 40
// belong to other positions a further key is dropped, and the keys already
// stored keep their moves. The second case's sequence wraps round the end of
// the table.
TEST(BookTable, FullSlotSequenceDropsTheEntry) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    const uint32_t lows[] = {0x12345678u, 65023u};
    for (uint32_t low : lows) {
        ClearBook(book);
        for (uint32_t high = 0; high < 41; high++)
            EXPECT_EQ(AddBookMove(book, low, high, 28, 29 + high % 8, 1), high < 40)
                << low << " " << high;
        EXPECT_EQ(StoredMoveCount(book), 40);
        for (uint32_t high = 0; high < 41; high++) {
            Move move = 0;
            EXPECT_EQ(ProbeBook(book, low, high, move), high < 40) << high;
            if (high < 40) {
                EXPECT_EQ(move, MoveCode(28, 29 + high % 8));
            }
        }
        // A position already in the sequence still takes further moves.
        EXPECT_TRUE(AddBookMove(book, low, 39, 30, 31, 1));
    }
}

TEST(BookTable, WeightsAboveTheRangeAreClamped) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    ClearBook(book);
    const uint64_t key = 42;
    EXPECT_TRUE(AddBookMove(book, KeyLow(key), KeyHigh(key), 126, 123, 70000));
    EXPECT_TRUE(AddBookMove(book, KeyLow(key), KeyHigh(key), 126, 124, 0xFFFFFFFFu));
    EXPECT_EQ(FindSlot(book, key)->Weights[0], 65535);
    EXPECT_EQ(FindSlot(book, key)->Weights[1], 65535);
}

struct WeightCase {
    const char* name;
    int count;
    uint32_t weights[20];
};

// The choice follows the weights, also when they sum to 131072 or more (where
// a 32-bit product would wrap and favour the first moves). Bounds are at
// least six standard deviations wide.
TEST(BookTable, ChoiceFollowsTheWeights) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    const WeightCase cases[] = {
        {"three to one", 2, {3, 1}},
        {"zero never chosen", 3, {0, 3, 1}},
        {"zero at the end", 3, {3, 1, 0}},
        {"one move", 1, {7}},
        {"large weights", 3, {65535, 65535, 65535}},
        {"uneven large", 3, {65535, 1, 65535}},
        {"twenty large", 20, {65535, 65535, 65535, 65535, 65535, 65535, 65535,
                              65535, 65535, 65535, 65535, 65535, 65535, 65535,
                              65535, 65535, 65535, 65535, 65535, 65535}},
    };
    const int draws = 40000;
    const uint64_t key = 0x5555AAAA3333CCCCull;
    for (const WeightCase& c : cases) {
        SeedRandom(7);
        ClearBook(book);
        Move moves[20];
        uint64_t sum = 0;
        for (int j = 0; j < c.count; j++) {
            moves[j] = MoveCode(28 + uint32_t(j), 145);
            sum += c.weights[j];
            ASSERT_TRUE(
                AddBookMove(book, KeyLow(key), KeyHigh(key), 28 + uint32_t(j), 145, c.weights[j]));
        }
        int counts[20], misses;
        CountProbes(book, key, moves, c.count, draws, counts, misses);
        EXPECT_EQ(misses, 0) << c.name;
        for (int j = 0; j < c.count; j++) {
            const double expected = double(c.weights[j]) / double(sum);
            const double share = double(counts[j]) / draws;
            const double sigma = std::sqrt(expected * (1 - expected) / draws);
            EXPECT_NEAR(share, expected, 6 * sigma + 0.002) << c.name << ", move " << j;
            if (c.weights[j] == 0) {
                EXPECT_EQ(counts[j], 0) << c.name;
            }
        }
    }
}

TEST(BookTable, AllWeightsZeroGiveNoMove) {
    const std::unique_ptr<Book> owned = NewBook();
    Book& book = *owned;
    ClearBook(book);
    const uint64_t key = 77;
    for (uint32_t j = 0; j < 20; j++) AddBookMove(book, KeyLow(key), KeyHigh(key), 28 + j, 145, 0);
    for (int i = 0; i < 1000; i++) {
        Move move = 0;
        EXPECT_FALSE(ProbeBook(book, KeyLow(key), KeyHigh(key), move));
    }
}

}  // namespace
