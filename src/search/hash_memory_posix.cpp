// Memory for the hash table on POSIX systems: aligned to 2 MB, so that Linux
// can back it with large pages, and asked for them. Each probe lands on a
// random page of the table, and with large pages the page lookups behind the
// probes mostly hit.

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

#include "search/search.h"

namespace {

constexpr size_t LargePage = size_t(2) << 20;

}  // namespace

void* AllocateHashMemory(size_t bytes) {
    void* memory = nullptr;
    const size_t alignment = bytes >= LargePage ? LargePage : alignof(std::max_align_t);
    if (posix_memalign(&memory, alignment, bytes) != 0) return nullptr;
#ifdef MADV_HUGEPAGE
    // Only a hint: without large pages the table works the same.
    if (bytes >= LargePage) madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    std::memset(memory, 0, bytes);
    return memory;
}

void FreeHashMemory(void* memory) {
    std::free(memory);
}
