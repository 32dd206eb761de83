// UCI's "position" and "setoption".

#include <cstring>

#include "shell/options.h"
#include "shell/position_words.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"

namespace {

// Longer than any option's name.
constexpr size_t OptionNameCapacity = 64;

}  // namespace

void LoadUciPosition(Position& pos, char* const* words, int count) {
    int movesAt = 2;
    while (movesAt < count && KeywordOf(words[movesAt]) != TokenMoves) movesAt++;
    if (KeywordOf(WordAt(words, count, 1)) == TokenStartPos) {
        LoadFen(StartFen, pos);
    } else {
        // The FEN's words before "moves", at most six, as UCCI joins them.
        char fen[1024];
        JoinFenWords(words, movesAt, fen, sizeof fen);
        LoadFen(fen, pos);
    }
    // Checked before parsing, so that the parser never prints its complaint.
    for (int i = movesAt + 1; i < count; i++) {
        if (!IsMoveText(words[i])) return;
        MoveRecord record = ParseMoveString(words[i]);
        if (!PlayGameMove(pos, record)) return;
    }
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
