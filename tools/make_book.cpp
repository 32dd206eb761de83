// make_book REPERTOIRE BOOK: writes the opening book "book.TXT" from the
// repertoire. Refuses (exit code 1, nothing written) a row with a malformed or
// illegal move, conflicting weights, too many moves for one position or a
// book line that would be too long.

#include <cstdio>
#include <fstream>
#include <sstream>

#include "position/tables.h"
#include "support/book_maker.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_book REPERTOIRE BOOK\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make_book: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream repertoire;
    repertoire << in.rdbuf();

    EnsureTables();
    std::string book, error;
    BookStats stats;
    if (!MakeBookText(repertoire.str(), argv[1], book, error, stats)) {
        std::fprintf(stderr, "make_book: %s\n", error.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << book;
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_book: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf(
        "%s: %d rows, %d lines, %d positions, at most %d moves per position, "
        "longest line %d characters\n",
        argv[2], stats.rows, stats.lines, stats.positions, stats.maxMoves, stats.longestLine);
    return 0;
}
