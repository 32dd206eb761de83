#include "support/fen_text.h"

namespace {

// Letters by offset within a side: king, advisors, bishops, knights, rooks,
// cannons, pawns.
const char RedLetters[] = "KAABBNNRRCCPPPPP";

char LetterOfPiece(uint32_t piece) {
    const char letter = RedLetters[OffsetOfPiece(piece)];
    return IsRedPiece(piece) ? letter : char(letter - 'A' + 'a');
}

}  // namespace

std::string FenOfPosition(const Position& pos) {
    std::string text;
    for (uint32_t row = 0; row < 10; row++) {
        int empty = 0;
        for (uint32_t file = 0; file < 9; file++) {
            const uint32_t piece = pos.Board[SquareAt(file, row)];
            if (!piece) {
                empty++;
                continue;
            }
            if (empty) text += char('0' + empty);
            empty = 0;
            text += LetterOfPiece(piece);
        }
        if (empty) text += char('0' + empty);
        text += row < 9 ? '/' : ' ';
    }
    text += pos.SideToMove == Black ? "b" : "w";
    text += " - - 0 1";
    return text;
}
