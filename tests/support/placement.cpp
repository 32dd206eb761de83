#include "support/placement.h"

#include <cstring>
#include <sstream>

std::string LoadPlacement(Position& pos, const char* pieces, uint32_t side) {
    std::string faults;
    char board[10][9] = {};
    int left[128] = {};  // pieces of each letter still allowed
    for (const char* l = "KAABBNNRRCCPPPPPkaabbnnrrccppppp"; *l; l++) left[int(*l)]++;
    std::istringstream words(pieces);
    std::string word;
    while (words >> word) {
        const bool ok = word.size() == 3 && std::strchr("KABNRCPkabnrcp", word[0]) &&
                        word[1] >= 'a' && word[1] <= 'i' && word[2] >= '0' && word[2] <= '9';
        if (!ok) {
            faults += "bad placement word " + word + "; ";
            continue;
        }
        char& cell = board['9' - word[2]][word[1] - 'a'];
        if (cell) faults += "square used twice: " + word + "; ";
        if (left[int(word[0])]-- == 0) faults += "too many pieces: " + word + "; ";
        cell = word[0];
    }
    if (!LoadFen(FenOfGrid(board, side).c_str(), pos))
        faults += std::string("a placement no game reaches: ") + pieces + "; ";
    return faults;
}

std::string FenOfGrid(const char grid[10][9], uint32_t side) {
    std::string fen;
    for (int row = 0; row < 10; row++) {
        int empty = 0;
        for (int file = 0; file < 9; file++) {
            if (!grid[row][file]) {
                empty++;
                continue;
            }
            if (empty) fen += char('0' + empty);
            empty = 0;
            fen += grid[row][file];
        }
        if (empty) fen += char('0' + empty);
        if (row < 9) fen += '/';
    }
    return fen + (side == Red ? " w" : " b");
}
