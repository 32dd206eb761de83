// UCI's "position" and "setoption".

#include <cstring>

#include "shell/options.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"

namespace {

// Longer than any option's name.
constexpr size_t OptionNameCapacity = 64;
// A FEN has at most six fields; longer than any FEN of six fields.
constexpr int FenFields = 6;
constexpr size_t FenCapacity = 1024;

}  // namespace

bool LoadUciPositionAt(Engine& engine, Position& pos, char* const* words, int count, int kind) {
    int movesAt = kind + 1;
    while (movesAt < count && KeywordOf(words[movesAt]) != TokenMoves) movesAt++;
    const int moves = movesAt < count ? count - movesAt - 1 : 0;
    if (KeywordOf(WordAt(words, count, kind)) == TokenStartPos) {
        return LoadGameWords(engine, pos, nullptr, words + movesAt + 1, moves, StopAtIllegalMove);
    }
    // The FEN's words before "moves", at most six, as UCCI joins them. The
    // loader takes any side but "b" for red, so "r" and "w" both read as red.
    char fen[FenCapacity];
    const int fenEnd = movesAt < kind + 1 + FenFields ? movesAt : kind + 1 + FenFields;
    JoinWords(words, kind + 1, fenEnd, fen, sizeof fen);
    return LoadGameWords(engine, pos, fen, words + movesAt + 1, moves, StopAtIllegalMove);
}

bool LoadUciPosition(Engine& engine, Position& pos, char* const* words, int count) {
    return LoadUciPositionAt(engine, pos, words, count, 1);
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
    if (!option) return;
    const bool taken = SetOptionFromText(engine, *option, WordAt(words, count, i + 1));
    // A front end for several games must know it asked for one not played here.
    if (!taken && SameTextIgnoringCase(option->uciName, "UCI_Variant"))
        WriteMessage(engine, "only xiangqi is played");
}
