// Reading "book.TXT". Every line is checked against its own end before a field
// is read, so a damaged file can only lose entries, never crash the engine.

#include <cstdio>
#include <cstring>

#include "book/book.h"
#include "book/book_platform.h"

namespace {

const char BookFileName[] = "book.TXT";

// A decimal number the way atoi reads one (leading blanks, a sign, digits),
// clamped to 0..MaxBookWeight instead of overflowing.
uint32_t ReadWeight(const char* text, const char* end) {
    while (text < end && (*text == '\t' || *text == '\v' || *text == '\f' || *text == '\r')) text++;
    bool negative = false;
    if (text < end && (*text == '+' || *text == '-')) negative = *text++ == '-';
    uint32_t value = 0;
    for (; text < end && *text >= '0' && *text <= '9'; text++) {
        value = value * 10 + uint32_t(*text - '0');
        if (value > MaxBookWeight) value = MaxBookWeight + 1;  // stays saturated
    }
    if (negative) return 0;
    return value > MaxBookWeight ? MaxBookWeight : value;
}

}  // namespace

bool AddBookLine(Book& book, const char* line, const BookComplaints* complaints) {
    // Columns 1-4 the move, 5 a space, from 6 the weight up to the next space,
    // then the FEN up to the line end.
    const size_t length = std::strlen(line);
    if (length < 6) return false;
    const char* weight = line + 5;
    const char* weightEnd = std::strchr(weight, ' ');
    if (!weightEnd) return false;
    const char* fen = weightEnd + 1;
    if (*fen == '\0' || *fen == '\n' || *fen == '\r') return false;

    char moveText[5];
    std::memcpy(moveText, line, 4);
    moveText[4] = '\0';
    MoveTextFaults faults;
    const MoveRecord record = ParseMoveString(moveText, &faults);
    if (faults.count > 0 && complaints && complaints->moveText)
        complaints->moveText(complaints->context, faults);
    // The scratch position would still hold the line before.
    if (!LoadFen(fen, book.scratch)) return false;
    const uint64_t key = CurrentKey(book.scratch);
    return AddBookMove(book, KeyLow(key), KeyHigh(key), record.from, record.to,
                       ReadWeight(weight, weightEnd));
}

bool LoadBookFile(Book& book, const char* path, const BookComplaints* complaints) {
    ClearBook(book);
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    // A longer line arrives in pieces, each taken as a line of its own.
    char line[BookLineLength + 1];
    while (std::fgets(line, sizeof line, file)) AddBookLine(book, line, complaints);
    std::fclose(file);
    return true;
}

bool BookPathFor(const char* executablePath, char* out, size_t size) {
    size_t directory = 0;  // bytes kept: the directory and its last separator
    if (IsAbsolutePath(executablePath)) {
        for (size_t i = 0; executablePath[i]; i++)
            if (IsPathSeparator(executablePath[i])) directory = i + 1;
    }
    if (directory + sizeof BookFileName > size) return false;
    std::memcpy(out, executablePath, directory);
    std::memcpy(out + directory, BookFileName, sizeof BookFileName);
    return true;
}

void LoadBook(Book& book, const BookComplaints* complaints) {
    static char executable[MaxPathBytes];
    static char path[MaxPathBytes + sizeof BookFileName];
    if (!ExecutablePath(executable, sizeof executable)) executable[0] = '\0';
    if (!BookPathFor(executable, path, sizeof path)) std::strcpy(path, BookFileName);
    LoadBookFile(book, path, complaints);
}
