// The hash table's memory on POSIX systems: zeroed, and placed on 2 MB
// boundaries when it is large enough for the system's large pages.

#include <gtest/gtest.h>

#include <cstdint>

#include "search/search.h"

namespace {

TEST(HashMemory, ZeroedAndAlignedForLargePages) {
    const size_t sizes[] = {64, 4096, size_t(2) << 20, size_t(8) << 20};
    for (const size_t bytes : sizes) {
        unsigned char* memory = static_cast<unsigned char*>(AllocateHashMemory(bytes));
        ASSERT_NE(memory, nullptr) << bytes;
        for (size_t i = 0; i < bytes; i += 4093) {
            ASSERT_EQ(memory[i], 0) << bytes << " at " << i;
        }
        EXPECT_EQ(memory[bytes - 1], 0);
        if (bytes >= (size_t(2) << 20)) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(memory) % (size_t(2) << 20), 0u) << bytes;
        }
        memory[bytes - 1] = 1;  // the whole block is writable
        FreeHashMemory(memory);
    }
}

}  // namespace
