#include "rules_test_support.h"

#include <algorithm>
#include <sstream>
#include <vector>

uint32_t SquareNamed(const char* name) {
    return SquareAt(uint32_t(name[0] - 'a'), uint32_t('9' - name[1]));
}

Move MoveNamed(const char* text) {
    return MoveCode(SquareNamed(text), SquareNamed(text + 2));
}

std::string SquaresOf(const Position& board, uint64_t pieces) {
    std::vector<std::string> names;
    for (uint32_t piece = 16; piece < 48; piece++) {
        if (!((pieces >> piece) & 1)) continue;
        char text[5];
        FormatMove(board.PieceSquare[piece], board.PieceSquare[piece], text);
        names.push_back(std::string(text, 2));
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : " ") + name;
    return out;
}

Position& GameBoard() {
    static Position board;
    return board;
}

GameRecord& Game() {
    static GameRecord game;
    return game;
}

bool PlayGame(const std::string& fen, const std::string& moves) {
    if (!LoadFen(fen.c_str(), GameBoard())) return false;
    StartRecord(Game(), GameBoard());
    std::istringstream words(moves);
    std::string word;
    while (words >> word)
        if (!PlayRecordedMove(GameBoard(), Game(), MoveNamed(word.c_str()))) return false;
    return true;
}
