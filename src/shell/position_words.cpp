#include "shell/position_words.h"

#include <cstring>

#include "shell/tokenizer.h"

void JoinFenWords(char* const* words, int count, char* fen) {
    char* end = fen;
    for (int i = FenFirstWord; i <= FenLastWord && i < count; i++) {
        if (i > FenFirstWord) *end++ = ' ';
        size_t length = std::strlen(words[i]);
        std::memcpy(end, words[i], length);
        end += length;
    }
    *end = 0;
}

int CountListedMoves(char* const* words, int count) {
    if (count <= FirstMoveWord) return 0;
    if (KeywordOf(words[MovesKeywordWord]) != TokenMoves) return 0;
    return count - FirstMoveWord;
}
