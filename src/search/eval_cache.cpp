// The evaluation cache: one slot per index, the newest position wins. A slot
// answers only for the exact key it holds, so the values read are those that
// the profile's evaluation would give (a change of profile empties it).

#include <new>

#include "eval/eval.h"
#include "eval/eval_modern.h"
#include "search/ordering.h"
#include "search/search.h"

bool InitEvalCache(EvalCache& cache) {
    cache.slots.reset(new (std::nothrow) EvalSlot[EvalCacheSlots]());
    return cache.slots != nullptr;
}

void ClearEvalCache(EvalCache& cache) {
    for (uint32_t i = 0; i < EvalCacheSlots; i++) cache.slots[i].filled = 0;
}

template <SearchProfile Profile>
int32_t CachedEvaluate(EvalCache& cache, const Position& pos) {
    const uint64_t key = CurrentKey(pos);
    // The high half picks the slot: the hash table's buckets use the low one.
    EvalSlot& slot = cache.slots[KeyHigh(key) & (EvalCacheSlots - 1)];
    if (slot.filled && slot.key == key) return slot.value;
    slot = EvalSlot{key, Profile == ProfileModern ? EvaluateModern(pos) : Evaluate(pos), 1};
    return slot.value;
}
template int32_t CachedEvaluate<ProfileClassic>(EvalCache&, const Position&);
template int32_t CachedEvaluate<ProfileModern>(EvalCache&, const Position&);
