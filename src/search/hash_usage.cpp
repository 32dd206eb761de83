// How full the table is, as UCI's "hashfull" shows it: a sample is enough,
// since the low half of the key spreads the entries evenly.

#include "search/search.h"

namespace {

constexpr uint32_t SampledBuckets = 1000;

}  // namespace

uint32_t HashFullPerMille(const HashTable& table, bool currentGenerationOnly) {
    if (!table.buckets) return 0;
    const uint32_t buckets = table.mask < SampledBuckets ? table.mask + 1 : SampledBuckets;
    uint32_t filled = 0;
    for (uint32_t b = 0; b < buckets; b++) {
        for (const HashSlot& slot : table.buckets[b].slot) {
            const HashEntry entry = ReadHashSlot(slot);
            if (entry.bound == BoundNone) continue;
            if (currentGenerationOnly && entry.generation != table.generation) continue;
            filled++;
        }
    }
    return filled * 1000 / (buckets * 2);
}
