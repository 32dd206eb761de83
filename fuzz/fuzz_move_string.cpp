// ParseMoveString on any text: the squares it gives are always playing
// squares, and a well-formed move reads back as the same four characters.

#include <cstring>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareFuzzing();
    const std::string text = TextOf(data, size);
    const MoveRecord record = ParseMoveString(text.c_str());
    if (record.from >= uint32_t(BoardSquares) || record.to >= uint32_t(BoardSquares) ||
        !SquareOnBoard[record.from] || !SquareOnBoard[record.to])
        __builtin_trap();
    const bool wellFormed = text.size() >= 4 && text[0] >= 'a' && text[0] <= 'i' &&
                            text[1] >= '0' && text[1] <= '9' && text[2] >= 'a' && text[2] <= 'i' &&
                            text[3] >= '0' && text[3] <= '9';
    if (wellFormed) {
        char back[5];
        FormatMove(record.from, record.to, back);
        if (std::memcmp(back, text.data(), 4) != 0) __builtin_trap();
    }
    return 0;
}
