// The book's system services on POSIX systems; the executable's path comes
// from the /proc/self/exe link (Linux).

#ifndef _WIN32

#include <unistd.h>

#include "book/book_platform.h"

bool ExecutablePath(char* out, size_t size) {
    if (size < 2) return false;
    const ssize_t length = readlink("/proc/self/exe", out, size);
    // readlink neither terminates the text nor says when it cut it short: a
    // result that fills the buffer may be incomplete.
    if (length <= 0 || size_t(length) >= size) return false;
    out[length] = '\0';
    return true;
}

bool IsPathSeparator(char c) {
    return c == '/';
}

bool IsAbsolutePath(const char* path) {
    return path[0] == '/';
}

#endif
