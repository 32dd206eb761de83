#pragma once
// Boards and games for the tests of the rules: squares and moves written as
// in move strings, games played from a FEN into a record.

#include <string>

#include "rules/rules.h"

uint32_t SquareNamed(const char* name);  // "e5"
Move MoveNamed(const char* text);        // "c1d3"
// The pieces' squares of a mask of piece numbers, sorted and separated by
// spaces, as the board stands.
std::string SquaresOf(const Position& board, uint64_t pieces);
// Plays the moves (separated by spaces) from the FEN into the scratch game
// and position; false when the FEN or a move is refused.
bool PlayGame(const std::string& fen, const std::string& moves);
Position& GameBoard();
GameRecord& Game();
