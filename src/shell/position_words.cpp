#include "shell/position_words.h"

#include <cstring>

#include "shell/tokenizer.h"

void JoinFenWords(char* const* words, int count, char* fen, size_t capacity) {
    if (capacity == 0) return;
    size_t used = 0;
    for (int i = FenFirstWord; i <= FenLastWord && i < count; i++) {
        if (i > FenFirstWord && used + 1 < capacity) fen[used++] = ' ';
        size_t length = std::strlen(words[i]);
        if (length > capacity - 1 - used) length = capacity - 1 - used;
        std::memcpy(fen + used, words[i], length);
        used += length;
    }
    fen[used] = 0;
}

int CountListedMoves(char* const* words, int count) {
    if (count <= FirstMoveWord) return 0;
    if (KeywordOf(words[MovesKeywordWord]) != TokenMoves) return 0;
    return count - FirstMoveWord;
}

void LoadPositionFromWords(Position& pos, char* const* words, int count) {
    char fen[1024];
    JoinFenWords(words, count, fen, sizeof fen);
    LoadFen(fen, pos);
    int moves = CountListedMoves(words, count);
    for (int i = 0; i < moves; i++) {
        MoveRecord record = ParseMoveString(words[FirstMoveWord + i]);
        PlayGameMove(pos, record);
    }
}
