// The book's system services on Windows: the executable's path from
// GetModuleFileNameA; both slashes separate the parts of a path.

#ifdef _WIN32

#include <windows.h>

#include "book/book_platform.h"

bool ExecutablePath(char* out, size_t size) {
    if (size < 2) return false;
    const DWORD capacity = size > MAXDWORD ? MAXDWORD : DWORD(size);
    const DWORD length = GetModuleFileNameA(nullptr, out, capacity);
    // A path that does not fit comes back cut short, filling the buffer.
    if (length == 0 || length >= capacity) return false;
    out[length] = '\0';
    return true;
}

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

// "C:\..." and "C:/..." as well as paths from the root of the current drive
// ("\...") and network paths ("\\server\...").
bool IsAbsolutePath(const char* path) {
    if (IsPathSeparator(path[0])) return true;
    const bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    return letter && path[1] == ':' && IsPathSeparator(path[2]);
}

#endif
