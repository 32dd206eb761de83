// The transposition table: a power of two of buckets of two slots. The low
// half of the position key picks the bucket; both halves must match.
//
// The threads share the table without locks. A slot is two 64-bit words,
// each stored and loaded whole as a relaxed atomic (a plain move on x86):
// `data` packs the move, value, depth and bound, and `check` is the key
// XORed with `data`. A reader takes the key as check ^ data; when another
// thread's write lands between the two loads, or between the two stores,
// the words come from different entries and the key so read matches no
// position the bucket is probed for, so the torn slot is passed over like
// another position's. Two writers may lose one of their entries; that is
// the price of no lock. With one thread, what is stored, found and replaced
// is as with plain fields.

#include <climits>

#include "search/search.h"
#include "search/transposition.h"

static_assert(BoundNone == 0, "zeroed memory holds empty slots");

namespace {

constexpr int BoundShift = 40;
constexpr uint64_t BoundBits = uint64_t(0xFF) << BoundShift;

constexpr int GenerationShift = 48;

uint64_t PackData(const HashEntry& e) {
    return uint64_t(e.move) | uint64_t(uint16_t(e.value)) << 16 | uint64_t(uint8_t(e.depth)) << 32 |
           uint64_t(e.bound) << BoundShift | uint64_t(e.generation) << GenerationShift;
}

HashEntry Unpack(uint64_t key, uint64_t data) {
    HashEntry e;
    e.keyLow = uint32_t(key);
    e.keyHigh = uint32_t(key >> 32);
    e.move = uint16_t(data);
    e.value = int16_t(uint16_t(data >> 16));
    e.depth = int8_t(uint8_t(data >> 32));
    e.bound = uint8_t(data >> BoundShift);
    e.generation = uint8_t(data >> GenerationShift);
    e.spare = 0;
    return e;
}

uint64_t FullKey(const HashEntry& e) {
    return uint64_t(e.keyLow) | uint64_t(e.keyHigh) << 32;
}

HashSlot* BucketOf(const HashTable& table, uint64_t key) {
    return table.buckets[KeyLow(key) & table.mask].slot;
}

bool Belongs(const HashEntry& slot, uint64_t key) {
    return slot.keyLow == KeyLow(key) && slot.keyHigh == KeyHigh(key);
}

// Each word is loaded once: the entry is unpacked from the very words that
// passed the key test.
inline bool Find(const HashTable& table, const Position& pos, HashEntry& entry) {
    const uint64_t key = CurrentKey(pos);
    const HashSlot* bucket = BucketOf(table, key);
    for (int i = 0; i < 2; i++) {
        const uint64_t data = bucket[i].data.load(std::memory_order_relaxed);
        const uint64_t check = bucket[i].check.load(std::memory_order_relaxed);
        if ((data & BoundBits) == 0 || (check ^ data) != key) continue;
        entry = Unpack(key, data);
        QUILLON_ASSERT(entry.bound <= BoundExact);
        return true;
    }
    return false;
}

}  // namespace

HashEntry ReadHashSlot(const HashSlot& slot) {
    const uint64_t data = slot.data.load(std::memory_order_relaxed);
    return Unpack(slot.check.load(std::memory_order_relaxed) ^ data, data);
}

void WriteHashSlot(HashSlot& slot, const HashEntry& entry) {
    const uint64_t data = PackData(entry);
    slot.data.store(data, std::memory_order_relaxed);
    slot.check.store(FullKey(entry) ^ data, std::memory_order_relaxed);
}

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
    // Only the bound goes, so one word per slot: the move stays for the next
    // upper bound stored there, and an empty slot's key is never read (every
    // reader tests the bound first, and a store writes the key anew).
    for (uint32_t i = 0; i <= table.mask; i++)
        for (HashSlot& slot : table.buckets[i].slot) {
            const uint64_t data = slot.data.load(std::memory_order_relaxed);
            if (data & BoundBits) slot.data.store(data & ~BoundBits, std::memory_order_relaxed);
        }
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
    HashSlot* bucket = BucketOf(table, key);
    const HashEntry held[2] = {ReadHashSlot(bucket[0]), ReadHashSlot(bucket[1])};
    int slot = -1, candidate = -1;
    int smallestWorth = INT_MAX;
    for (int i = 0; i < 2 && slot < 0; i++) {
        const HashEntry& s = held[i];
        const int age = uint8_t(table.generation - s.generation);
        if (s.bound == BoundNone) {
            slot = i;
        } else if (Belongs(s, key)) {
            // A shallower result never replaces a deeper one of the same
            // position from the same search.
            if (s.depth > depth && age == 0) return;
            slot = i;
        } else if (s.depth - 8 * age <= smallestWorth) {
            // The least worth keeping: shallow, or left by an earlier search.
            smallestWorth = s.depth - 8 * age;
            candidate = i;
        }
    }
    if (slot < 0) slot = candidate;

    HashEntry e = held[slot];
    e.depth = depth;
    e.value = value;
    // An upper bound has no best move: keep whatever move the slot held.
    if (bound != BoundUpper) e.move = move;
    e.bound = bound;
    e.keyLow = KeyLow(key);
    e.keyHigh = KeyHigh(key);
    e.generation = table.generation;
    WriteHashSlot(bucket[slot], e);
}

void ReplaceHashEntry(HashTable& table, const Position& pos, Move move, int16_t value, int8_t depth,
                      uint8_t bound) {
    const uint64_t key = CurrentKey(pos);
    HashSlot* bucket = BucketOf(table, key);
    for (int i = 0; i < 2; i++) {
        const HashEntry e = ReadHashSlot(bucket[i]);
        if (e.bound != BoundNone && Belongs(e, key)) {
            WriteHashSlot(bucket[i], HashEntry{KeyLow(key), KeyHigh(key), move, value, depth, bound,
                                               table.generation, 0});
            return;
        }
    }
    StoreHash(table, pos, move, value, depth, bound);
}

bool ProbeHash(const HashTable& table, const Position& pos, HashEntry& entry) {
    return Find(table, pos, entry);
}

bool ProbeHashMove(const HashTable& table, const Position& pos, Move& move) {
    HashEntry entry;
    if (!Find(table, pos, entry)) return false;
    move = entry.move;
    return true;
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
