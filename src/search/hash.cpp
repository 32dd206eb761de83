// The transposition table: a power of two of buckets of two slots. The low
// half of the position key picks the bucket; both halves must match.

#include <climits>

#include "search/search.h"
#include "search/transposition.h"

static_assert(BoundNone == 0, "zeroed memory holds empty slots");

namespace {

HashEntry* BucketOf(const HashTable& table, uint64_t key) {
    return table.buckets[KeyLow(key) & table.mask].slot;
}

bool Belongs(const HashEntry& slot, uint64_t key) {
    return slot.keyLow == KeyLow(key) && slot.keyHigh == KeyHigh(key);
}

const HashEntry* Find(const HashTable& table, const Position& pos) {
    const uint64_t key = CurrentKey(pos);
    const HashEntry* bucket = BucketOf(table, key);
    for (int i = 0; i < 2; i++)
        if (bucket[i].bound != BoundNone && Belongs(bucket[i], key)) {
            QUILLON_ASSERT(bucket[i].bound <= BoundExact);
            return &bucket[i];
        }
    return nullptr;
}

}  // namespace

bool ResizeHash(HashTable& table, uint32_t bucketCount) {
    // Zeroed memory is a table of empty slots (BoundNone is 0).
    void* memory = AllocateHashMemory(size_t(bucketCount) * sizeof(HashBucket));
    if (!memory) return false;
    table.buckets.reset(static_cast<HashBucket*>(memory));
    table.mask = bucketCount - 1;
    table.generation = 0;
    return true;
}

uint32_t HashBucketsForMegabytes(uint32_t megabytes) {
    if (megabytes == 0) return DefaultHashBuckets;
    if (megabytes < MinHashMegabytes) megabytes = MinHashMegabytes;
    if (megabytes > MaxHashMegabytes) megabytes = MaxHashMegabytes;
    const uint64_t fits = (uint64_t(megabytes) << 20) / sizeof(HashBucket);
    uint32_t buckets = 1;
    while (uint64_t(buckets) * 2 <= fits) buckets *= 2;
    return buckets;
}

void ClearHash(HashTable& table) {
    for (uint32_t i = 0; i <= table.mask; i++)
        for (HashEntry& slot : table.buckets[i].slot) slot.bound = BoundNone;
    // Every slot filled from now on carries generation 0: emptied ones keep
    // their old generation, which nothing reads before a store rewrites it.
    table.generation = 0;
}

void StoreHash(HashTable& table, const Position& pos, Move move, int16_t value, int8_t depth,
               uint8_t bound) {
    // BoundNone would empty the slot; mate scores are counted from the node.
    QUILLON_ASSERT(bound == BoundUpper || bound == BoundLower || bound == BoundExact);
    QUILLON_ASSERT(value >= -MateScore && value <= MateScore);
    const uint64_t key = CurrentKey(pos);
    HashEntry* bucket = BucketOf(table, key);
    HashEntry* slot = nullptr;
    HashEntry* candidate = nullptr;
    int smallestWorth = INT_MAX;
    for (int i = 0; i < 2 && !slot; i++) {
        HashEntry& s = bucket[i];
        const int age = uint8_t(table.generation - s.generation);
        if (s.bound == BoundNone) {
            slot = &s;
        } else if (Belongs(s, key)) {
            // A shallower result never replaces a deeper one of the same
            // position from the same search.
            if (s.depth > depth && age == 0) return;
            slot = &s;
        } else if (s.depth - 8 * age <= smallestWorth) {
            // The least worth keeping: shallow, or left by an earlier search.
            smallestWorth = s.depth - 8 * age;
            candidate = &s;
        }
    }
    if (!slot) slot = candidate;
    slot->generation = table.generation;

    slot->depth = depth;
    slot->value = value;
    // An upper bound has no best move: keep whatever move the slot held.
    if (bound != BoundUpper) slot->move = move;
    slot->bound = bound;
    slot->keyLow = KeyLow(key);
    slot->keyHigh = KeyHigh(key);
    QUILLON_ASSERT(Belongs(*slot, key) && slot->depth == depth && slot->value == value &&
                   slot->bound == bound && (bound == BoundUpper || slot->move == move));
}

bool ProbeHash(const HashTable& table, const Position& pos, HashEntry& entry) {
    const HashEntry* found = Find(table, pos);
    if (found) entry = *found;
    return found != nullptr;
}

bool ProbeHashMove(const HashTable& table, const Position& pos, Move& move) {
    const HashEntry* found = Find(table, pos);
    if (found) move = found->move;
    return found != nullptr;
}

int16_t ValueToHash(int16_t value, uint32_t ply) {
    if (value <= -MateThreshold) return int16_t(value - int32_t(ply));
    if (value >= MateThreshold) return int16_t(value + int32_t(ply));
    return value;
}

int16_t ValueFromHash(int16_t value, uint32_t ply) {
    if (value <= -MateThreshold) return int16_t(value + int32_t(ply));
    if (value >= MateThreshold) return int16_t(value - int32_t(ply));
    return value;
}

HashCutoff HashCutoffTest(const HashTable& table, const Position& pos, int8_t depth, int16_t alpha,
                          int16_t beta) {
    HashCutoff result{false, 0, false, 0};
    HashEntry entry;
    if (!ProbeHash(table, pos, entry)) return result;
    // The window is counted from the root, so compare the value as read at this node.
    const int16_t value = ValueFromHash(entry.value, pos.Ply);
    if (entry.depth >= depth) {
        switch (entry.bound) {
            case BoundLower:
                if (value >= beta) {
                    result.cutoff = true;
                    result.value = value;
                    return result;
                }
                break;
            case BoundUpper:
                if (value <= alpha) {
                    result.cutoff = true;
                    result.value = value;
                }
                return result;
            case BoundExact:
                result.cutoff = true;
                result.value = value;
                return result;
            default:
                break;
        }
    } else if (entry.bound == BoundUpper) {
        return result;
    }
    result.hasMove = true;
    result.move = entry.move;
    return result;
}
