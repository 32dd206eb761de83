#include "support/placement.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

const char PieceLetters[] = "KAABBNNRRCCPPPPP";

char LetterOf(uint32_t piece) {
    const char letter = PieceLetters[OffsetOfPiece(piece)];
    return IsRedPiece(piece) ? letter : char(letter - 'A' + 'a');
}

}  // namespace

void LoadPlacement(Position& pos, const char* pieces, uint32_t side) {
    char board[10][9] = {};
    std::istringstream words(pieces);
    std::string word;
    while (words >> word) {
        const bool ok = word.size() == 3 && std::strchr("KABNRCPkabnrcp", word[0]) &&
                        word[1] >= 'a' && word[1] <= 'i' && word[2] >= '0' && word[2] <= '9';
        if (!ok) {
            ADD_FAILURE() << "bad placement word " << word;
            continue;
        }
        char& cell = board['9' - word[2]][word[1] - 'a'];
        if (cell) ADD_FAILURE() << "square used twice: " << word;
        cell = word[0];
    }
    std::string fen;
    for (int row = 0; row < 10; row++) {
        int empty = 0;
        for (int file = 0; file < 9; file++) {
            if (!board[row][file]) {
                empty++;
                continue;
            }
            if (empty) fen += char('0' + empty);
            empty = 0;
            fen += board[row][file];
        }
        if (empty) fen += char('0' + empty);
        if (row < 9) fen += '/';
    }
    fen += side == Red ? " w" : " b";
    LoadFen(fen.c_str(), pos);
}

std::string FenOf(const Position& pos) {
    std::string fen;
    for (uint32_t row = 0; row < 10; row++) {
        int empty = 0;
        for (uint32_t file = 0; file < 9; file++) {
            const uint32_t piece = pos.Board[SquareAt(file, row)];
            if (!piece) {
                empty++;
                continue;
            }
            if (empty) fen += char('0' + empty);
            empty = 0;
            fen += LetterOf(piece);
        }
        if (empty) fen += char('0' + empty);
        if (row < 9) fen += '/';
    }
    fen += pos.SideToMove == Red ? " w" : " b";
    return fen;
}
