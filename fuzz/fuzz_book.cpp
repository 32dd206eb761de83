// The book loader on any file contents; then every position the file names is
// looked up, and a move the book offers there must be legal.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "book/book.h"
#include "fuzz_support.h"

namespace {

Position LookupPosition;
Book FuzzBook;

// The book file lives in memory; its path goes through /proc like any other.
const char* BookPath() {
    static char path[64];
    if (path[0] == '\0') {
        const int fd = memfd_create("book.TXT", 0);
        if (fd < 0) __builtin_trap();
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareFuzzing();
    std::FILE* file = std::fopen(BookPath(), "wb");
    if (!file) __builtin_trap();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) __builtin_trap();
    std::fclose(file);
    if (!LoadBookFile(FuzzBook, BookPath())) __builtin_trap();

    // The same pieces the loader read: at most BookLineLength bytes up to a line feed.
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (end - start > size_t(BookLineLength)) end = start + BookLineLength;
        const std::string line = text.substr(start, end - start);
        start = end;
        const size_t space = line.find(' ', 5);
        if (line.size() < 6 || space == std::string::npos) continue;
        const std::string fen = TextOf(reinterpret_cast<const uint8_t*>(line.data()) + space + 1,
                                       line.size() - space - 1);
        if (!LoadFen(fen.c_str(), LookupPosition)) continue;  // a placement no game reaches
        Move move = 0;
        if (ChooseBookMove(FuzzBook, LookupPosition, move) && !IsLegalMove(LookupPosition, move))
            FuzzFailure("the book offers an illegal move", LookupPosition, line);
        RequireInvariants(LookupPosition, "after the book lookup");
    }
    return 0;
}
