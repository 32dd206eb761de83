// UCCI's "position" and "probe" lines: the FEN's six fields, then the moves.

#include <cstddef>

#include "shell/tokenizer.h"
#include "shell/ucci.h"

namespace {

constexpr int FenFirstWord = 2, FenEndWord = 8, MovesKeywordWord = 8, FirstMoveWord = 9;
constexpr int StartMovesKeywordWord = 2, StartFirstMoveWord = 3;
// Longer than any FEN of six fields.
constexpr size_t FenCapacity = 1024;

}  // namespace

bool LoadUcciPosition(Engine& engine, Position& pos, char* const* words, int count) {
    if (KeywordOf(WordAt(words, count, 1)) == TokenStartPos) {
        const bool listed = KeywordOf(WordAt(words, count, StartMovesKeywordWord)) == TokenMoves;
        const int moves = listed ? count - StartFirstMoveWord : 0;
        return LoadGameWords(engine, pos, nullptr, words + StartFirstMoveWord, moves,
                             SkipIllegalMoves);
    }
    char fen[FenCapacity];
    JoinWords(words, FenFirstWord, count < FenEndWord ? count : FenEndWord, fen, sizeof fen);
    const bool listed = count > FirstMoveWord && KeywordOf(words[MovesKeywordWord]) == TokenMoves;
    const int moves = listed ? count - FirstMoveWord : 0;
    return LoadGameWords(engine, pos, fen, words + FirstMoveWord, moves, SkipIllegalMoves);
}
