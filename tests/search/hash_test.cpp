// The transposition table: replacement, bounds, mate scores and clearing.
// Keys are chosen by hand so that nothing depends on the random keys.

#include <gtest/gtest.h>

#include "search/ordering.h"
#include "search/search.h"
#include "search/search_test_support.h"
#include "search/transposition.h"
#include "support/reference_rules.h"

namespace {

// Keys in one bucket: same 18 low bits, different elsewhere.
constexpr uint64_t KeyA = 0x0123456700012345ull;
constexpr uint64_t KeyB = 0x89ABCDEF00012345ull;  // only the high half differs from A
constexpr uint64_t KeyC = 0x0123456700052345ull;  // bit 18 of the low half differs from A
constexpr uint64_t KeyD = 0x7777777711112345ull;
constexpr uint32_t Bucket = 0x12345;

// The scratch position, made to carry `key` at `ply`.
Position& At(uint64_t key, uint32_t ply = 0) {
    Position& pos = ScratchPosition();
    pos.MoveCount = 0;
    pos.KeyStack[0] = key;
    pos.Ply = ply;
    return pos;
}

class HashTest : public ::testing::Test {
protected:
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    void SetUp() override {
        Position& pos = ScratchPosition();
        LoadFen(StartFen, pos);
    }
};

TEST_F(HashTest, StoredEntryIsFoundWithItsFields) {
    StoreHash(state.hash, At(KeyA), 31614, -123, 7, BoundLower);
    HashEntry e;
    ASSERT_TRUE(ProbeHash(state.hash, At(KeyA), e));
    EXPECT_EQ(e.keyLow, uint32_t(KeyA));
    EXPECT_EQ(e.keyHigh, uint32_t(KeyA >> 32));
    EXPECT_EQ(e.move, 31614);
    EXPECT_EQ(e.value, -123);
    EXPECT_EQ(e.depth, 7);
    EXPECT_EQ(e.bound, BoundLower);
    EXPECT_EQ(ReadHashSlot(state.hash.buckets[Bucket].slot[0]).move, 31614);
    // Both halves must match.
    EXPECT_FALSE(ProbeHash(state.hash, At(KeyB), e));
    EXPECT_FALSE(ProbeHash(state.hash, At(KeyC), e));
    Move m = 0;
    EXPECT_FALSE(ProbeHashMove(state.hash, At(KeyB), m));
    ASSERT_TRUE(ProbeHashMove(state.hash, At(KeyA), m));
    EXPECT_EQ(m, 31614);
}

// Megabytes to buckets: the largest power of two of 32-byte buckets that
// fits, within 1 to 1024 MB; 0 is the default table.
TEST(HashSize, BucketsForMegabytes) {
    const uint32_t cases[][2] = {
        {0, DefaultHashBuckets}, {1, 1u << 15},    {2, 1u << 16},           {3, 1u << 16},
        {8, 1u << 18},           {63, 1u << 20},   {64, 1u << 21},          {1000, 1u << 24},
        {1024, 1u << 25},        {1025, 1u << 25}, {4000000000u, 1u << 25},
    };
    for (const auto& c : cases) EXPECT_EQ(HashBucketsForMegabytes(c[0]), c[1]) << c[0];
}

// The default table: 2^18 buckets of 32 bytes, 8 MB.
TEST_F(HashTest, DefaultTableSize) {
    EXPECT_EQ(state.hash.mask + 1, DefaultHashBuckets);
    EXPECT_EQ(size_t(state.hash.mask + 1) * sizeof(HashBucket), size_t(8) << 20);
}

TEST_F(HashTest, ShallowerStoreNeverReplacesDeeper) {
    StoreHash(state.hash, At(KeyA), 100, 40, 5, BoundLower);
    StoreHash(state.hash, At(KeyA), 200, 90, 3, BoundExact);
    HashEntry e;
    ASSERT_TRUE(ProbeHash(state.hash, At(KeyA), e));
    EXPECT_EQ(e.move, 100);
    EXPECT_EQ(e.value, 40);
    EXPECT_EQ(e.depth, 5);
    EXPECT_EQ(e.bound, BoundLower);
    // Depths are signed: 0 is deeper than -1.
    StoreHash(state.hash, At(KeyD), 300, 1, 0, BoundExact);
    StoreHash(state.hash, At(KeyD), 400, 2, -1, BoundExact);
    ASSERT_TRUE(ProbeHash(state.hash, At(KeyD), e));
    EXPECT_EQ(e.move, 300);
}

TEST_F(HashTest, EqualDepthOverwrites) {
    StoreHash(state.hash, At(KeyA), 100, 40, 5, BoundExact);
    StoreHash(state.hash, At(KeyA), 200, -90, 5, BoundLower);
    HashEntry e;
    ASSERT_TRUE(ProbeHash(state.hash, At(KeyA), e));
    EXPECT_EQ(e.move, 200);
    EXPECT_EQ(e.value, -90);
    EXPECT_EQ(e.bound, BoundLower);
    // The same position is not stored twice in its bucket.
    EXPECT_EQ(ReadHashSlot(state.hash.buckets[Bucket].slot[1]).bound, BoundNone);
}

TEST_F(HashTest, FullBucketReplacesTheShallowerSlot) {
    struct Case {
        int8_t first, second;
        int replaced;
    };
    const Case cases[] = {{4, 2, 1}, {2, 4, 0}, {3, 3, 1}, {-1, 0, 0}, {9, 9, 1}};
    for (const Case& c : cases) {
        ResetSearchTables(state);
        StoreHash(state.hash, At(KeyA), 1, 10, c.first, BoundExact);
        StoreHash(state.hash, At(KeyB), 2, 20, c.second, BoundExact);
        // Much shallower than both, and still given room.
        StoreHash(state.hash, At(KeyC), 3, 30, -5, BoundUpper);
        HashEntry e;
        EXPECT_TRUE(ProbeHash(state.hash, At(KeyC), e));
        EXPECT_EQ(ReadHashSlot(state.hash.buckets[Bucket].slot[c.replaced]).keyLow, uint32_t(KeyC));
        EXPECT_EQ(ReadHashSlot(state.hash.buckets[Bucket].slot[1 - c.replaced]).move,
                  c.replaced ? 1 : 2);
        EXPECT_EQ(ProbeHash(state.hash, At(KeyA), e), c.replaced == 1)
            << int(c.first) << "," << int(c.second);
        EXPECT_EQ(ProbeHash(state.hash, At(KeyB), e), c.replaced == 0)
            << int(c.first) << "," << int(c.second);
    }
}

TEST_F(HashTest, UpperBoundKeepsTheOldMove) {
    StoreHash(state.hash, At(KeyA), 777, 50, 3, BoundLower);
    StoreHash(state.hash, At(KeyA), 888, 20, 3, BoundUpper);
    HashEntry e;
    ASSERT_TRUE(ProbeHash(state.hash, At(KeyA), e));
    EXPECT_EQ(e.move, 777);
    EXPECT_EQ(e.bound, BoundUpper);
    EXPECT_EQ(e.value, 20);
    // The cut-off test offers no hash move for it, deeper or not.
    for (int8_t depth : {3, 5}) {
        const HashCutoff h = HashCutoffTest(state.hash, At(KeyA), depth, 0, 100);
        EXPECT_FALSE(h.cutoff);
        EXPECT_FALSE(h.hasMove);
    }
}

TEST_F(HashTest, ClearHashTouchesOnlyTheBound) {
    StoreHash(state.hash, At(KeyA), 321, 55, 6, BoundExact);
    StoreHash(state.hash, At(KeyB), 654, 66, 2, BoundLower);
    ClearHash(state.hash);
    HashEntry e;
    Move m;
    EXPECT_FALSE(ProbeHash(state.hash, At(KeyA), e));
    EXPECT_FALSE(ProbeHash(state.hash, At(KeyB), e));
    EXPECT_FALSE(ProbeHashMove(state.hash, At(KeyA), m));
    const HashEntry slot = ReadHashSlot(state.hash.buckets[Bucket].slot[0]);
    EXPECT_EQ(slot.bound, BoundNone);
    EXPECT_EQ(slot.move, 321);
    EXPECT_EQ(slot.value, 55);
    EXPECT_EQ(slot.depth, 6);
    // An emptied slot is used again before a full one is replaced, and an
    // upper bound stored there keeps the move it held.
    StoreHash(state.hash, At(KeyC), 1, 1, 1, BoundUpper);
    const HashEntry reused = ReadHashSlot(state.hash.buckets[Bucket].slot[0]);
    EXPECT_EQ(reused.keyLow, uint32_t(KeyC));
    EXPECT_EQ(reused.keyHigh, uint32_t(KeyC >> 32));
    EXPECT_EQ(reused.move, 321);
    EXPECT_TRUE(ProbeHash(state.hash, At(KeyC), e));
    EXPECT_FALSE(ProbeHash(state.hash, At(KeyA), e));
}

TEST_F(HashTest, MateScoresAreStoredFromTheNode) {
    struct Case {
        int16_t found;
        uint32_t storePly, readPly;
        int16_t stored, read;
    };
    const Case cases[] = {
        {-9990, 4, 6, -9994, -9988},  // losing: 4 lower in, 6 above the stored value out
        {9990, 3, 1, 9993, 9992},     // winning: 3 higher in, 1 below out
        {-9950, 2, 2, -9952, -9950},  // the threshold counts as mate
        {9949, 5, 9, 9949, 9949},     // just short of it does not
        {-300, 7, 1, -300, -300},
    };
    for (const Case& c : cases) {
        ResetSearchTables(state);
        const int16_t stored = ValueToHash(c.found, c.storePly);
        EXPECT_EQ(stored, c.stored);
        StoreHash(state.hash, At(KeyA, c.storePly), 5, stored, 4, BoundExact);
        HashEntry e;
        ASSERT_TRUE(ProbeHash(state.hash, At(KeyA, c.readPly), e));
        EXPECT_EQ(e.value, c.stored);  // probes return the entry unconverted
        const HashCutoff h = HashCutoffTest(state.hash, At(KeyA, c.readPly), 4, -10000, 10000);
        EXPECT_TRUE(h.cutoff);
        EXPECT_EQ(h.value, c.read) << c.found;
        EXPECT_EQ(ValueFromHash(c.stored, c.readPly), c.read);
    }
}

TEST_F(HashTest, CutoffTestByBoundAndDepth) {
    struct Case {
        uint8_t bound;
        int8_t entryDepth, nodeDepth;
        int16_t value, alpha, beta;
        bool cutoff, hasMove;
    };
    const Case cases[] = {
        {BoundLower, 4, 4, 50, 0, 50, true, false}, {BoundLower, 4, 3, 49, 0, 50, false, true},
        {BoundLower, 3, 4, 90, 0, 50, false, true}, {BoundUpper, 4, 4, 0, 0, 50, true, false},
        {BoundUpper, 5, 4, 1, 0, 50, false, false}, {BoundUpper, 2, 4, -90, 0, 50, false, false},
        {BoundExact, 4, 4, 25, 0, 50, true, false}, {BoundExact, 9, 1, 900, 0, 50, true, false},
        {BoundExact, 3, 4, 25, 0, 50, false, true},
    };
    for (const Case& c : cases) {
        ResetSearchTables(state);
        StoreHash(state.hash, At(KeyA), 4242, c.value, c.entryDepth, c.bound);
        const HashCutoff h = HashCutoffTest(state.hash, At(KeyA), c.nodeDepth, c.alpha, c.beta);
        EXPECT_EQ(h.cutoff, c.cutoff) << int(c.bound) << " " << int(c.entryDepth);
        EXPECT_EQ(h.hasMove, c.hasMove) << int(c.bound) << " " << int(c.entryDepth);
        if (h.cutoff) {
            EXPECT_EQ(h.value, c.value);
        }
        if (h.hasMove) {
            EXPECT_EQ(h.move, 4242);
        }
    }
    const HashCutoff missing = HashCutoffTest(state.hash, At(KeyD), 1, 0, 50);
    EXPECT_FALSE(missing.cutoff);
    EXPECT_FALSE(missing.hasMove);
}

// A bound is judged by the value as read at the node, in root terms: a mate
// found deeper in the tree is not a cut-off just because its stored form is.
TEST_F(HashTest, CutoffComparesTheConvertedValue) {
    StoreHash(state.hash, At(KeyA), 11, 9998, 4, BoundLower);  // read at ply 6: 9992
    HashCutoff h = HashCutoffTest(state.hash, At(KeyA, 6), 4, 0, 9995);
    EXPECT_FALSE(h.cutoff);
    EXPECT_TRUE(h.hasMove);
    h = HashCutoffTest(state.hash, At(KeyA, 6), 4, 0, 9992);
    EXPECT_TRUE(h.cutoff);
    EXPECT_EQ(h.value, 9992);

    StoreHash(state.hash, At(KeyB), 12, -9998, 4, BoundUpper);  // read at ply 6: -9992
    EXPECT_FALSE(HashCutoffTest(state.hash, At(KeyB, 6), 4, -9995, 0).cutoff);
    h = HashCutoffTest(state.hash, At(KeyB, 6), 4, -9992, 0);
    EXPECT_TRUE(h.cutoff);
    EXPECT_EQ(h.value, -9992);
}

TEST_F(HashTest, BookMoveEntry) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    const Move book = MoveCode(126, 123);  // h2e2
    StoreHash(state.hash, pos, book, 1000, 0, BoundExact);
    Move m = 0;
    ASSERT_TRUE(ProbeHashMove(state.hash, pos, m));
    EXPECT_EQ(m, book);
    HashEntry e;
    ASSERT_TRUE(ProbeHash(state.hash, pos, e));
    EXPECT_EQ(e.value, 1000);
    EXPECT_EQ(e.depth, 0);
    EXPECT_EQ(e.bound, BoundExact);
}

TEST_F(HashTest, ResetEmptiesEveryTable) {
    StoreHash(state.hash, At(KeyA), 1, 1, 1, BoundExact);
    StatsOf(state.ordering, 777).history = 55;
    StatsOf(state.ordering, 777).best = 9;
    StatsOf(state.ordering, 777).tried = 20;
    state.ordering.killers[0][0] = MoveRecord{1, 2, 3, 1, 4};
    state.ordering.killers[MaxPly - 1][1] = MoveRecord{5, 6, 0, 0, 7};
    ResetSearchTables(state);
    HashEntry e;
    EXPECT_FALSE(ProbeHash(state.hash, At(KeyA), e));
    for (const MoveStats& stats : state.ordering.stats) {
        ASSERT_EQ(stats.history, 0u);
        ASSERT_EQ(stats.best, 1u);
        ASSERT_EQ(stats.tried, 1u);
    }
    for (uint32_t ply = 0; ply < MaxPly; ply++)
        for (int k = 0; k < 2; k++) {
            EXPECT_EQ(state.ordering.killers[ply][k].from, 0u);
            EXPECT_EQ(state.ordering.killers[ply][k].to, 0u);
        }
}

}  // namespace

namespace {

// Per mille of the filled slots among the first 1000 buckets, counted slot by
// slot: the slow obvious way.
uint32_t CountedFill(const HashTable& table, bool currentOnly) {
    uint32_t filled = 0;
    for (uint32_t b = 0; b < 1000; b++)
        for (int i = 0; i < 2; i++) {
            const HashEntry e = ReadHashSlot(table.buckets[b].slot[i]);
            filled += e.bound != BoundNone && (!currentOnly || e.generation == table.generation);
        }
    return filled / 2;
}

TEST_F(HashTest, FillIsSampledOverTheFirstThousandBuckets) {
    HashTable& table = state.hash;
    ClearHash(table);
    EXPECT_EQ(HashFullPerMille(table, false), 0u);
    EXPECT_EQ(HashFullPerMille(table, true), 0u);
    // Keys that land in buckets 0..1499, one slot of each, then the second
    // slot of every other one; half of them in a later generation.
    for (uint64_t b = 0; b < 1500; b++) StoreHash(table, At(b | (b << 40)), 0, 0, 1, BoundExact);
    EXPECT_EQ(HashFullPerMille(table, false), 500u);
    table.generation++;
    for (uint64_t b = 0; b < 1500; b += 2)
        StoreHash(table, At(b | (7ull << 50)), 0, 0, 1, BoundLower);
    EXPECT_EQ(HashFullPerMille(table, false), 750u);
    EXPECT_EQ(HashFullPerMille(table, false), CountedFill(table, false));
    EXPECT_EQ(HashFullPerMille(table, true), 250u);
    EXPECT_EQ(HashFullPerMille(table, true), CountedFill(table, true));
    // Entries beyond the sample do not count.
    ClearHash(table);
    for (uint64_t b = 1000; b < 3000; b++) StoreHash(table, At(b), 0, 0, 1, BoundUpper);
    EXPECT_EQ(HashFullPerMille(table, false), 0u);
}

}  // namespace
