// Legal replies to a check. A single checking rook, cannon, knight or pawn
// gets a generator that proposes only the moves able to answer that kind of
// check: king moves, captures of the checker, moves onto the check line or the
// knight's leg, and moves of a cannon's screen. Anything else is answered by
// filtering every pseudo-legal move. Every candidate is confirmed with
// LeavesKingAttacked, so every list holds legal moves only; the candidate
// lists, for callers that settle legality as they play, skip that test.
//
// No move can be proposed twice: king moves come only from the king, captures
// of the checker only reach the checker's square, blocks only reach empty
// squares between checker and king, and a screen on the check line can never
// reach another square of that line except by the captures listed for it.

#include <initializer_list>

#include "check/check.h"

namespace {

// The side in check, its king and the single piece that gives check.
struct Evasion {
    Position& pos;
    MoveRecord* list;
    int n;
    uint32_t side;     // the side to move, in check
    uint32_t base;     // its first piece number
    uint32_t own;      // the colour bit of its pieces
    uint32_t king;     // its king's square
    uint32_t checker;  // the checking piece's square
    bool legalOnly;    // false: every candidate is listed, legal or not
};

// The line from the checker to the king, for rook and cannon checks.
struct CheckLine {
    bool onFile;    // checker and king share a file, else a row
    uint32_t line;  // that file or row
    uint32_t low;   // rows (file check) or files (row check) of both ends
    uint32_t high;
};

constexpr uint32_t NoCoordinate = 99;

inline bool InOwnHalf(uint32_t side, uint32_t square) {
    return (SquareInBlackHalf[square] != 0) == (side == Black);
}
inline bool IsPawnOf(uint32_t base, uint32_t piece) {
    return piece >= base + PawnOffset && piece <= base + 15;
}

inline void Propose(Evasion& e, uint32_t from, uint32_t to) {
    if (!e.legalOnly || !LeavesKingAttacked(e.pos, from, to))
        e.list[e.n++] = RecordOf(from, to, e.pos.Board[to], 0, 0);
}

inline bool StrictlyBetween(const CheckLine& cl, uint32_t square) {
    if (cl.onFile) {
        const uint32_t row = RowOfSquare[square];
        return uint32_t(FileOfSquare[square]) == cl.line && row > cl.low && row < cl.high;
    }
    const uint32_t file = FileOfSquare[square];
    return uint32_t(RowOfSquare[square]) == cl.line && file > cl.low && file < cl.high;
}

// Whether the piece on `from` is the one met from `target` along their shared
// line that the masks name: the nearest piece (rook masks) or the one behind a
// screen (cannon masks).
template <typename FileMasks, typename RowMasks>
inline bool MetAlongLine(const Position& pos, uint32_t target, uint32_t from,
                         const FileMasks& fileMasks, const RowMasks& rowMasks) {
    const uint32_t tf = FileOfSquare[target], tr = RowOfSquare[target];
    if (uint32_t(FileOfSquare[from]) == tf)
        return (fileMasks[tr][pos.FileBits[tf]] & RowBit(RowOfSquare[from])) != 0;
    if (uint32_t(RowOfSquare[from]) == tr)
        return (rowMasks[tf][pos.RowBits[tr]] & FileBit(FileOfSquare[from])) != 0;
    return false;
}

inline bool KnightReaches(const Position& pos, uint32_t from, uint32_t to) {
    const int32_t d = int32_t(to) - int32_t(from);
    return d >= -27 && d <= 27 && KnightDeltaOk[d] && pos.Board[from + KnightLegOffset[d]] == 0;
}

void ProposeKingMoves(Evasion& e) {
    for (const uint8_t* t = KingMoves[e.king]; *t; t++)
        if (!(e.pos.Board[*t] & e.own)) Propose(e, e.king, *t);
}

enum PawnCaptures { NoPawnCaptures, PawnsBeside, PawnsBesideAndBehind };

// Every piece that can take the checker under its own rule.
void ProposeCapturesOfChecker(Evasion& e, PawnCaptures pawns) {
    const Position& pos = e.pos;
    const uint32_t s = e.checker;
    for (uint32_t p = e.base + RookOffset; p < e.base + RookOffset + 2; p++) {
        const uint32_t from = pos.PieceSquare[p];
        if (from && MetAlongLine(pos, s, from, FileRookCaptureMask, RowRookCaptureMask))
            Propose(e, from, s);
    }
    for (uint32_t p = e.base + CannonOffset; p < e.base + CannonOffset + 2; p++) {
        const uint32_t from = pos.PieceSquare[p];
        if (from && MetAlongLine(pos, s, from, FileCannonCaptureMask, RowCannonCaptureMask))
            Propose(e, from, s);
    }
    for (uint32_t p = e.base + KnightOffset; p < e.base + KnightOffset + 2; p++) {
        const uint32_t from = pos.PieceSquare[p];
        if (from && KnightReaches(pos, from, s)) Propose(e, from, s);
    }
    if (pawns != NoPawnCaptures) {
        // A pawn beside the checker steps sideways onto it once it has crossed.
        for (const uint32_t from : {s - 1, s + 1})
            if (IsPawnOf(e.base, pos.Board[from]) && HasCrossedRiver(e.side, from))
                Propose(e, from, s);
        if (pawns == PawnsBesideAndBehind) {
            const uint32_t from = e.side == Red ? s + 13 : s - 13;
            if (IsPawnOf(e.base, pos.Board[from])) Propose(e, from, s);
        }
    }
    if (InOwnHalf(e.side, s)) {
        for (uint32_t p = e.base + BishopOffset; p < e.base + BishopOffset + 2; p++) {
            const uint32_t from = pos.PieceSquare[p];
            if (!from) continue;
            const int32_t d = int32_t(s) - int32_t(from);
            if (d >= -28 && d <= 28 && BishopDeltaOk[d] && pos.Board[(from + s) / 2] == 0)
                Propose(e, from, s);
        }
        if (SquareInPalace[s]) {
            for (uint32_t p = e.base + AdvisorOffset; p < e.base + AdvisorOffset + 2; p++) {
                const uint32_t from = pos.PieceSquare[p];
                if (!from) continue;
                const int32_t d = int32_t(s) - int32_t(from);
                if (d >= -14 && d <= 14 && AdvisorDeltaOk[d]) Propose(e, from, s);
            }
        }
    }
}

// Moves onto the empty squares between checker and king. Against a cannon the
// screen's square is never a target, nor is any piece that could only reach
// the line there.
void ProposeBlocks(Evasion& e, const CheckLine& cl, uint32_t screen) {
    const Position& pos = e.pos;
    // No empty square between checker and king: nothing to block with.
    if (cl.high - cl.low - 1 <= (screen ? 1u : 0u)) return;
    const uint32_t screenCross = screen == 0 ? NoCoordinate
                                 : cl.onFile ? RowOfSquare[screen]
                                             : FileOfSquare[screen];
    // A step piece reaches the line only from within `reach` files of a file
    // check (rows of a row check).
    const auto tooFar = [&](uint32_t from, uint32_t reach) {
        const uint32_t cross = cl.onFile ? FileOfSquare[from] : RowOfSquare[from];
        return cross + reach < cl.line || cross > cl.line + reach;
    };

    // Rooks and cannons slide across onto the line.
    for (uint32_t p = e.base + RookOffset; p < e.base + CannonOffset + 2; p++) {
        const uint32_t from = pos.PieceSquare[p];
        if (!from) continue;
        const uint32_t file = FileOfSquare[from], row = RowOfSquare[from];
        if (cl.onFile) {
            if (row <= cl.low || row >= cl.high || row == screenCross) continue;
            if (RowEmptyMask[file][pos.RowBits[row]] & FileBit(cl.line))
                Propose(e, from, SquareAt(cl.line, row));
        } else {
            if (file <= cl.low || file >= cl.high || file == screenCross) continue;
            if (FileEmptyMask[row][pos.FileBits[file]] & RowBit(cl.line))
                Propose(e, from, SquareAt(file, cl.line));
        }
    }
    for (uint32_t p = e.base + KnightOffset; p < e.base + KnightOffset + 2; p++) {
        const uint32_t from = pos.PieceSquare[p];
        if (!from || tooFar(from, 2)) continue;
        for (const uint8_t* t = KnightMoves[from]; *t; t++)
            if (*t != screen && StrictlyBetween(cl, *t) &&
                pos.Board[from + KnightLegOffset[int32_t(*t - from)]] == 0)
                Propose(e, from, *t);
    }
    // Pawns that have crossed step sideways onto a file; none can reach a row
    // of the palace from beside or behind.
    if (cl.onFile) {
        for (uint32_t p = e.base + PawnOffset; p < e.base + 16; p++) {
            const uint32_t from = pos.PieceSquare[p];
            if (!from || !HasCrossedRiver(e.side, from)) continue;
            const uint32_t file = FileOfSquare[from], row = RowOfSquare[from];
            if (row <= cl.low || row >= cl.high || row == screenCross) continue;
            if (file + 1 == cl.line || file == cl.line + 1)
                Propose(e, from, SquareAt(cl.line, row));
        }
    }
    for (uint32_t p = e.base + BishopOffset; p < e.base + BishopOffset + 2; p++) {
        const uint32_t from = pos.PieceSquare[p];
        if (!from || tooFar(from, 2)) continue;
        for (const uint8_t* t = BishopMoves[from]; *t; t++)
            if (*t != screen && StrictlyBetween(cl, *t) && pos.Board[(from + *t) / 2] == 0)
                Propose(e, from, *t);
    }
    for (uint32_t p = e.base + AdvisorOffset; p < e.base + AdvisorOffset + 2; p++) {
        const uint32_t from = pos.PieceSquare[p];
        if (!from || tooFar(from, 1)) continue;
        for (const uint8_t* t = AdvisorMoves[from]; *t; t++)
            if (*t != screen && StrictlyBetween(cl, *t)) Propose(e, from, *t);
    }
}

void ProposeSlides(Evasion& e, uint32_t from, bool alongFile, int dir) {
    const Position& pos = e.pos;
    const uint32_t file = FileOfSquare[from], row = RowOfSquare[from];
    if (alongFile) {
        const uint32_t v = FileSlideEnd[row][pos.FileBits[file]][dir];
        if (!v) return;
        for (int32_t k = int32_t(v - 1) - int32_t(row); k != 0; k += k > 0 ? -1 : 1)
            Propose(e, from, uint32_t(int32_t(from) + 13 * k));
    } else {
        const uint32_t v = RowSlideEnd[file][pos.RowBits[row]][dir];
        if (!v) return;
        for (int32_t k = int32_t(v - 1) - int32_t(file); k != 0; k += k > 0 ? -1 : 1)
            Propose(e, from, uint32_t(int32_t(from) + k));
    }
}

// The capture of the first (rook) or second (cannon) piece met from `from`
// along its file or row in one direction, when that piece is the opponent's.
void ProposeLineCapture(Evasion& e, uint32_t from, bool alongFile, int dir, bool cannon) {
    const Position& pos = e.pos;
    const uint32_t file = FileOfSquare[from], row = RowOfSquare[from];
    uint32_t to = 0;
    if (alongFile) {
        const uint32_t occ = pos.FileBits[file];
        const uint32_t v = cannon ? FileSecondPiece[row][occ][dir] : FileFirstPiece[row][occ][dir];
        if (v) to = SquareAt(file, v - 1);
    } else {
        const uint32_t occ = pos.RowBits[row];
        const uint32_t v = cannon ? RowSecondPiece[file][occ][dir] : RowFirstPiece[file][occ][dir];
        if (v) to = SquareAt(v - 1, row);
    }
    if (to && pos.Board[to] && !(pos.Board[to] & e.own)) Propose(e, from, to);
}

// The cannon's screen, when it is ours, steps off the check line.
void ProposeScreenMoves(Evasion& e, const CheckLine& cl, uint32_t q) {
    const Position& pos = e.pos;
    const uint32_t piece = pos.Board[q];
    if (!(piece & e.own)) return;
    switch (OffsetOfPiece(piece)) {
        case AdvisorOffset:
        case AdvisorOffset + 1:
            for (const uint8_t* t = AdvisorMoves[q]; *t; t++)
                if (!(pos.Board[*t] & e.own)) Propose(e, q, *t);
            break;
        case BishopOffset:
        case BishopOffset + 1:
            for (const uint8_t* t = BishopMoves[q]; *t; t++)
                if (!(pos.Board[*t] & e.own) && pos.Board[(q + *t) / 2] == 0) Propose(e, q, *t);
            break;
        case KnightOffset:
        case KnightOffset + 1:
            for (const uint8_t* t = KnightMoves[q]; *t; t++)
                if (!(pos.Board[*t] & e.own) &&
                    pos.Board[q + KnightLegOffset[int32_t(*t - q)]] == 0)
                    Propose(e, q, *t);
            break;
        case RookOffset:
        case RookOffset + 1:
        case CannonOffset:
        case CannonOffset + 1: {
            const bool cannon = OffsetOfPiece(piece) >= CannonOffset;
            // Across the check line: q's row on a file check, q's file on a row
            // check; toward file 0 or row 0 first.
            const bool acrossAlongFile = !cl.onFile;
            for (int dir = 0; dir < 2; dir++) {
                ProposeSlides(e, q, acrossAlongFile, dir);
                ProposeLineCapture(e, q, acrossAlongFile, dir, cannon);
                // A cannon may also jump over the checker or over its own king.
                if (cannon) ProposeLineCapture(e, q, cl.onFile, dir, true);
            }
            break;
        }
        case KingOffset:
            break;
        default:  // pawns
            if (!HasCrossedRiver(e.side, q)) break;
            for (const uint32_t t : {q - 1, q + 1})
                if (SquareOnBoard[t] && !(pos.Board[t] & e.own)) Propose(e, q, t);
            break;
    }
}

// Fills the context from the checkers mask; false when the mask does not name
// one of the opponent's pieces on the board.
bool StartEvasion(Evasion& e) {
    const Position& pos = e.pos;
    const uint32_t mask = CurrentCheckers(pos);
    const uint32_t theirBits = e.side == Red ? 0xFFF000u : 0xFFFu;
    if ((mask & theirBits) == 0 || (mask & ~theirBits) != 0 || e.king == 0) return false;
    e.checker = pos.PieceSquare[CheckerPiece(mask)];
    return e.checker != 0;
}

Evasion MakeEvasion(Position& pos, MoveRecord* list, bool legalOnly) {
    const uint32_t side = pos.SideToMove;
    const uint32_t king = pos.PieceSquare[SideBase(side)];
    return Evasion{pos, list, 0, side, SideBase(side), 16u << side, king, 0, legalOnly};
}

// The check line, or false when checker and king share no line.
bool FindCheckLine(const Evasion& e, CheckLine& cl) {
    const uint32_t sf = FileOfSquare[e.checker], sr = RowOfSquare[e.checker];
    const uint32_t kf = FileOfSquare[e.king], kr = RowOfSquare[e.king];
    if (sf == kf) {
        cl = CheckLine{true, kf, sr < kr ? sr : kr, sr < kr ? kr : sr};
        return true;
    }
    if (sr == kr) {
        cl = CheckLine{false, kr, sf < kf ? sf : kf, sf < kf ? kf : sf};
        return true;
    }
    return false;
}

int Filter(Position& pos, MoveRecord* list, bool legalOnly) {
    MoveRecord all[MaxGeneratedMoves + 1];
    const int total = GenerateAll(pos, all);
    int n = 0;
    for (int i = 0; i < total; i++)
        if (!legalOnly || !LeavesKingAttacked(pos, all[i].from, all[i].to)) list[n++] = all[i];
    return n;
}

int EvadeRook(Position& pos, MoveRecord* list, bool legalOnly) {
    Evasion e = MakeEvasion(pos, list, legalOnly);
    CheckLine cl;
    if (!StartEvasion(e) || !FindCheckLine(e, cl)) return Filter(pos, list, legalOnly);
    ProposeKingMoves(e);
    ProposeCapturesOfChecker(e, cl.onFile ? PawnsBeside : NoPawnCaptures);
    ProposeBlocks(e, cl, 0);
    return e.n;
}

int EvadeCannon(Position& pos, MoveRecord* list, bool legalOnly) {
    Evasion e = MakeEvasion(pos, list, legalOnly);
    CheckLine cl;
    if (!StartEvasion(e) || !FindCheckLine(e, cl)) return Filter(pos, list, legalOnly);
    ProposeKingMoves(e);
    ProposeCapturesOfChecker(e, cl.onFile ? PawnsBesideAndBehind : NoPawnCaptures);

    // The screen: the first piece met from the cannon toward the king.
    const uint32_t s = e.checker;
    uint32_t screen = 0;
    if (cl.onFile) {
        const uint32_t row = RowOfSquare[s];
        const uint32_t v =
            FileFirstPiece[row][pos.FileBits[cl.line]][uint32_t(RowOfSquare[e.king]) > row];
        if (v) screen = SquareAt(cl.line, v - 1);
    } else {
        const uint32_t file = FileOfSquare[s];
        const uint32_t v =
            RowFirstPiece[file][pos.RowBits[cl.line]][uint32_t(FileOfSquare[e.king]) > file];
        if (v) screen = SquareAt(v - 1, cl.line);
    }
    ProposeBlocks(e, cl, screen);
    if (screen) ProposeScreenMoves(e, cl, screen);
    return e.n;
}

int EvadeKnight(Position& pos, MoveRecord* list, bool legalOnly) {
    Evasion e = MakeEvasion(pos, list, legalOnly);
    if (!StartEvasion(e)) return Filter(pos, list, legalOnly);
    const int32_t d = int32_t(e.king) - int32_t(e.checker);
    if (d < -27 || d > 27 || !KnightDeltaOk[d]) return Filter(pos, list, legalOnly);
    ProposeKingMoves(e);
    ProposeCapturesOfChecker(e, NoPawnCaptures);

    // Block the knight's leg, next to the knight on its way to the king.
    const uint32_t leg = e.checker + KnightLegOffset[d];
    for (uint32_t p = e.base + RookOffset; p < e.base + CannonOffset + 2; p++) {
        const uint32_t from = pos.PieceSquare[p];
        if (from && MetAlongLine(pos, leg, from, FileRookCaptureMask, RowRookCaptureMask))
            Propose(e, from, leg);
    }
    for (uint32_t p = e.base + KnightOffset; p < e.base + KnightOffset + 2; p++) {
        const uint32_t from = pos.PieceSquare[p];
        if (from && KnightReaches(pos, from, leg)) Propose(e, from, leg);
    }
    if (InOwnHalf(e.side, leg)) {
        for (uint32_t p = e.base + BishopOffset; p < e.base + BishopOffset + 2; p++) {
            const uint32_t from = pos.PieceSquare[p];
            if (!from) continue;
            const int32_t b = int32_t(leg) - int32_t(from);
            if (b >= -28 && b <= 28 && BishopDeltaOk[b] && pos.Board[(from + leg) / 2] == 0)
                Propose(e, from, leg);
        }
        if (SquareInPalace[leg]) {
            for (uint32_t p = e.base + AdvisorOffset; p < e.base + AdvisorOffset + 2; p++) {
                const uint32_t from = pos.PieceSquare[p];
                if (!from) continue;
                const int32_t a = int32_t(leg) - int32_t(from);
                if (a >= -14 && a <= 14 && AdvisorDeltaOk[a]) Propose(e, from, leg);
            }
        }
    }
    return e.n;
}

int EvadePawn(Position& pos, MoveRecord* list, bool legalOnly) {
    Evasion e = MakeEvasion(pos, list, legalOnly);
    if (!StartEvasion(e)) return Filter(pos, list, legalOnly);
    // A pawn checks from beside the king or from in front: nothing fits between.
    ProposeKingMoves(e);
    ProposeCapturesOfChecker(e, NoPawnCaptures);
    return e.n;
}

int Evade(Position& pos, MoveRecord* list, bool legalOnly) {
    const uint32_t mask = CurrentCheckers(pos);
    if (mask == 0 || (mask & (mask - 1)) != 0) return Filter(pos, list, legalOnly);
    switch (__builtin_ctz(mask) % 12) {
        case 0:  // only the facing kings
            return 0;
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
            return EvadePawn(pos, list, legalOnly);
        case 6:
        case 7:
            return EvadeKnight(pos, list, legalOnly);
        case 8:
        case 9:
            return EvadeCannon(pos, list, legalOnly);
        default:
            return EvadeRook(pos, list, legalOnly);
    }
}

}  // namespace

uint32_t CheckerPiece(uint32_t mask) {
    // Piece offsets named by the twelve bits of one side.
    static constexpr uint32_t OffsetOfBit[12] = {0, 11, 12, 13, 14, 15, 5, 6, 9, 10, 7, 8};
    const uint32_t bit = uint32_t(__builtin_ctz(mask));
    return SideBase(bit / 12) + OffsetOfBit[bit % 12];
}

int GenerateEvasions(Position& pos, MoveRecord* list) {
    return Evade(pos, list, true);
}

int GenerateEvasionCandidates(Position& pos, MoveRecord* list) {
    return Evade(pos, list, false);
}

int EvadeRookCheck(Position& pos, MoveRecord* list) {
    return EvadeRook(pos, list, true);
}

int EvadeCannonCheck(Position& pos, MoveRecord* list) {
    return EvadeCannon(pos, list, true);
}

int EvadeKnightCheck(Position& pos, MoveRecord* list) {
    return EvadeKnight(pos, list, true);
}

int EvadePawnCheck(Position& pos, MoveRecord* list) {
    return EvadePawn(pos, list, true);
}

int EvadeByFiltering(Position& pos, MoveRecord* list) {
    return Filter(pos, list, true);
}
