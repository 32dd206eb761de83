#pragma once
// The system services the book needs: where the executable lies and how paths
// are written. One implementation per platform sits beside this header
// (book_platform_posix.cpp, book_platform_win32.cpp).

#include <cstddef>

// The longest path the system hands out, terminating zero included.
constexpr size_t MaxPathBytes = 4096;

// The full path of the running executable, NUL-terminated, in `out`. False
// when it is unknown or does not fit into `size` bytes.
bool ExecutablePath(char* out, size_t size);
bool IsPathSeparator(char c);
bool IsAbsolutePath(const char* path);
