#pragma once
// Turns the opening repertoire (rows of moves from the start position, each
// move written "h2e2" or "h2e2:weight") into the lines of "book.TXT": one line
// per position and move, in the order the repertoire first reaches them.

#include <string>

struct BookStats {
    int lines;        // book lines, one per (position, move)
    int positions;    // distinct positions with book moves
    int maxMoves;     // the most book moves of one position
    int longestLine;  // characters, line feed not counted
    int rows;         // rows of play read
};

constexpr int DefaultRepertoireWeight = 10;
constexpr int MaxBookLineChars = 97;  // line feed not counted

// Replays every row with the engine's own move generation. On success `book`
// holds the file's text; otherwise `error` names the line and the move at
// fault (prefixed with `sourceName`) and `book` is left empty.
bool MakeBookText(const std::string& repertoire, const std::string& sourceName, std::string& book,
                  std::string& error, BookStats& stats);
