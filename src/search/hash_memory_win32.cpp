// Memory for the hash table on Windows: plain zeroed memory (large pages there
// need a privilege that a front end's engine does not have).

#include <cstdlib>

#include "search/search.h"

void* AllocateHashMemory(size_t bytes) {
    return std::calloc(1, bytes);
}

void FreeHashMemory(void* memory) {
    std::free(memory);
}
