#pragma once
// The words of a "position fen ..." or "probe fen ..." line: the six FEN fields
// from word 2, then "moves" as word 8 and the moves after it.

#include <cstddef>
#include <cstdint>

#include "position/position.h"

constexpr int FenFirstWord = 2, FenLastWord = 7, MovesKeywordWord = 8, FirstMoveWord = 9;

// Joins the FEN words that the line has (2 to 7) with single spaces into
// `fen`, cut short if it would not fit in `capacity` bytes with its zero.
void JoinFenWords(char* const* words, int count, char* fen, size_t capacity);

// The number of moves after "moves": none unless the line has at least ten
// words and word 8 is "moves".
int CountListedMoves(char* const* words, int count);

// Loads the FEN of the line and plays its moves; a move that cannot be played
// is left out and the following ones are still tried.
void LoadPositionFromWords(Position& pos, char* const* words, int count);
