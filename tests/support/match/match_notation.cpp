// Moves as the engines write them.

#include "support/match/match.h"

std::string MoveToEngine(Move m, RankBase ranks) {
    std::string text;
    for (uint32_t square : {MoveFrom(m), MoveTo(m)}) {
        text += char('a' + FileOfSquare[square]);
        text += std::to_string(9 - RowOfSquare[square] + (ranks == RanksFromOne ? 1 : 0));
    }
    return text;
}

Move MoveFromEngine(const std::string& text, RankBase ranks) {
    uint32_t squares[2];
    size_t at = 0;
    for (uint32_t& square : squares) {
        if (at >= text.size() || text[at] < 'a' || text[at] > 'i') return 0;
        const uint32_t file = uint32_t(text[at++] - 'a');
        int rank = 0, digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 2) {
            rank = rank * 10 + (text[at++] - '0');
            digits++;
        }
        if (digits == 0) return 0;
        if (ranks == RanksFromOne) rank--;
        if (rank < 0 || rank > 9) return 0;
        square = SquareAt(file, uint32_t(9 - rank));
    }
    if (at != text.size()) return 0;
    return MoveCode(squares[0], squares[1]);
}
