// UCI's "position" and "setoption".

#include <cstring>

#include "shell/options.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"

namespace {

// Longer than any option's name.
constexpr size_t OptionNameCapacity = 64;
// The FEN's six fields are words 2 to 7; longer than any FEN of six fields.
constexpr int FenFirstWord = 2, FenEndWord = 8;
constexpr size_t FenCapacity = 1024;

}  // namespace

bool LoadUciPosition(Engine& engine, Position& pos, char* const* words, int count) {
    int movesAt = 2;
    while (movesAt < count && KeywordOf(words[movesAt]) != TokenMoves) movesAt++;
    const int moves = movesAt < count ? count - movesAt - 1 : 0;
    if (KeywordOf(WordAt(words, count, 1)) == TokenStartPos) {
        return LoadGameWords(engine, pos, nullptr, words + movesAt + 1, moves, StopAtIllegalMove);
    }
    // The FEN's words before "moves", at most six, as UCCI joins them.
    char fen[FenCapacity];
    JoinWords(words, FenFirstWord, movesAt < FenEndWord ? movesAt : FenEndWord, fen, sizeof fen);
    return LoadGameWords(engine, pos, fen, words + movesAt + 1, moves, StopAtIllegalMove);
}

void RunUciSetOption(Engine& engine, char* const* words, int count) {
    if (KeywordOf(WordAt(words, count, 1)) != TokenName) return;
    // The name runs up to "value", its words joined by single spaces.
    char name[OptionNameCapacity];
    size_t used = 0;
    int i = 2;
    for (; i < count && KeywordOf(words[i]) != TokenValue; i++) {
        const size_t length = std::strlen(words[i]);
        if (used + length + 2 > sizeof name) return;  // no option has so long a name
        if (used > 0) name[used++] = ' ';
        std::memcpy(name + used, words[i], length);
        used += length;
    }
    name[used] = 0;
    const EngineOption* option = FindUciOption(name);
    if (option) SetOptionFromText(engine, *option, WordAt(words, count, i + 1));
}
