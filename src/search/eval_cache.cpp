// The evaluation cache: one slot per index, the newest position wins. A slot
// answers only for the exact key it holds, so the values read are those that
// Evaluate would give.

#include <new>

#include "eval/eval.h"
#include "search/ordering.h"
#include "search/search.h"

bool InitEvalCache(EvalCache& cache) {
    cache.slots.reset(new (std::nothrow) EvalSlot[EvalCacheSlots]());
    return cache.slots != nullptr;
}

void ClearEvalCache(EvalCache& cache) {
    for (uint32_t i = 0; i < EvalCacheSlots; i++) cache.slots[i].filled = 0;
}

int32_t CachedEvaluate(EvalCache& cache, const Position& pos) {
    const uint64_t key = CurrentKey(pos);
    // The high half picks the slot: the hash table's buckets use the low one.
    EvalSlot& slot = cache.slots[KeyHigh(key) & (EvalCacheSlots - 1)];
    if (slot.filled && slot.key == key) return slot.value;
    slot = EvalSlot{key, Evaluate(pos), 1};
    return slot.value;
}
