// Coordinate notation: file letter and rank digit of the origin, then of the
// destination ("h2e2"). Rank digit 9 is row 0, black's back rank.

#include "position/position.h"

MoveRecord ParseMoveString(const char* text, MoveTextFaults* faults) {
    uint32_t files[2] = {0, 0}, rows[2] = {0, 0};
    if (faults) faults->count = 0;
    bool ended = false;  // a short word: missing characters count as wrong ones
    for (int i = 0; i < 4; i++) {
        const char c = ended ? '\0' : text[i];
        if (c == '\0') ended = true;
        const bool digit = c >= '0' && c <= '9';
        const bool letter = c >= 'a' && c <= 'i';
        if (digit && (i & 1)) {
            rows[i / 2] = uint32_t('9' - c);
        } else if (letter && !(i & 1)) {
            files[i / 2] = uint32_t(c - 'a');
        } else if (faults) {
            faults->fault[faults->count++] =
                (digit || letter) ? MoveTextSequenceWrong : MoveTextCharWrong;
        }
    }
    return RecordOf(SquareAt(files[0], rows[0]), SquareAt(files[1], rows[1]), 0, 0, 0);
}

bool IsMoveText(const char* text) {
    for (int i = 0; i < 4; i++) {
        const char c = text[i];
        const bool ok = (i & 1) ? c >= '0' && c <= '9' : c >= 'a' && c <= 'i';
        if (!ok) return false;
    }
    return text[4] == '\0';
}

void FormatMove(uint32_t from, uint32_t to, char out[5]) {
    out[0] = char('a' + FileOfSquare[from]);
    out[1] = char('9' - RowOfSquare[from]);
    out[2] = char('a' + FileOfSquare[to]);
    out[3] = char('9' - RowOfSquare[to]);
    out[4] = '\0';
}
