#pragma once
// The words of a "position fen ..." or "probe fen ..." line: the six FEN fields
// from word 2, then "moves" as word 8 and the moves after it.

#include <cstdint>

constexpr int FenFirstWord = 2, FenLastWord = 7, MovesKeywordWord = 8, FirstMoveWord = 9;

// Joins the FEN words that the line has (2 to 7) with single spaces into
// `fen`, which holds at least as many bytes as the line's buffer.
void JoinFenWords(char* const* words, int count, char* fen);

// The number of moves after "moves": none unless the line has at least ten
// words and word 8 is "moves".
int CountListedMoves(char* const* words, int count);
