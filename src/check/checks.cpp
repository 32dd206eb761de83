// Moves that give check, found from the opponent's king outward with the line
// tables: direct checks by rooks, cannons, knights and pawns, discovered
// checks by a piece of ours that leaves a line or a knight's leg, and cannon
// checks made by putting a screen in or taking one out. Pseudo-legal moves:
// MakeMove refuses those that expose our own king. A move found by two rules
// is listed once.
//
// Every rule lists only moves that follow the moving piece's own pattern, so a
// list never holds more than MaxCheckingMoves records.

#include <initializer_list>

#include "check/check.h"

namespace {

struct CheckSearch {
    const Position& pos;
    MoveRecord* list;
    int n;
    uint32_t side;   // us, the side to move
    uint32_t base;   // our first piece number
    uint32_t own;    // colour bit of our pieces
    uint32_t enemy;  // colour bit of theirs
    uint32_t king;   // their king's square
    uint32_t kf, kr;
};

typedef uint8_t FileTable[10][1024][2];
typedef uint8_t RowTable[9][512][2];

inline bool Between(uint32_t x, uint32_t a, uint32_t b) {
    return a < b ? (a < x && x < b) : (b < x && x < a);
}
inline uint32_t ForwardStep(uint32_t side) {
    return side == Red ? uint32_t(-13) : 13u;
}

inline bool NotOurs(const CheckSearch& g, uint32_t square) {
    return !(g.pos.Board[square] & g.own);
}
inline bool Theirs(const CheckSearch& g, uint32_t square) {
    return (g.pos.Board[square] & g.enemy) != 0;
}
inline bool IsOurs(const CheckSearch& g, uint32_t square) {
    return (g.pos.Board[square] & g.own) != 0;
}
inline uint32_t OffsetAt(const CheckSearch& g, uint32_t square) {
    return OffsetOfPiece(g.pos.Board[square]);
}
inline bool IsKnight(uint32_t offset) {
    return offset == KnightOffset || offset == KnightOffset + 1;
}
inline bool IsRook(uint32_t offset) {
    return offset == RookOffset || offset == RookOffset + 1;
}
inline bool IsCannon(uint32_t offset) {
    return offset == CannonOffset || offset == CannonOffset + 1;
}
inline bool IsPawn(uint32_t offset) {
    return offset >= PawnOffset;
}

void Add(CheckSearch& g, uint32_t from, uint32_t to) {
    if (!IsListed(from, to, g.list, g.n)) g.list[g.n++] = RecordOf(from, to, g.pos.Board[to], 1, 0);
}

// ---------------------------------------------------------------------------
// Moves of one piece, used to take it off a line.

void AddSlides(CheckSearch& g, uint32_t s, bool alongFile, int dir) {
    const uint32_t file = FileOfSquare[s], row = RowOfSquare[s];
    if (alongFile) {
        const uint32_t v = FileSlideEnd[row][g.pos.FileBits[file]][dir];
        if (!v) return;
        for (int32_t k = int32_t(v - 1) - int32_t(row); k != 0; k += k > 0 ? -1 : 1)
            Add(g, s, uint32_t(int32_t(s) + 13 * k));
    } else {
        const uint32_t v = RowSlideEnd[file][g.pos.RowBits[row]][dir];
        if (!v) return;
        for (int32_t k = int32_t(v - 1) - int32_t(file); k != 0; k += k > 0 ? -1 : 1)
            Add(g, s, uint32_t(int32_t(s) + k));
    }
}

// The capture of the first (rook) or second (cannon) piece met along a line
// in one direction, when it is theirs.
void AddLineCapture(CheckSearch& g, uint32_t s, bool alongFile, int dir, bool cannon) {
    const uint32_t file = FileOfSquare[s], row = RowOfSquare[s];
    uint32_t to = 0;
    if (alongFile) {
        const FileTable& table = cannon ? FileSecondPiece : FileFirstPiece;
        const uint32_t v = table[row][g.pos.FileBits[file]][dir];
        if (v) to = SquareAt(file, v - 1);
    } else {
        const RowTable& table = cannon ? RowSecondPiece : RowFirstPiece;
        const uint32_t v = table[file][g.pos.RowBits[row]][dir];
        if (v) to = SquareAt(v - 1, row);
    }
    if (to && Theirs(g, to)) Add(g, s, to);
}

void AddStepMoves(CheckSearch& g, uint32_t s, const uint8_t* targets) {
    for (; *targets; targets++)
        if (NotOurs(g, *targets)) Add(g, s, *targets);
}

void AddBishopMoves(CheckSearch& g, uint32_t s) {
    for (const uint8_t* t = BishopMoves[s]; *t; t++)
        if (NotOurs(g, *t) && g.pos.Board[(s + *t) / 2] == 0) Add(g, s, *t);
}

void AddKnightMoves(CheckSearch& g, uint32_t s) {
    for (const uint8_t* t = KnightMoves[s]; *t; t++)
        if (NotOurs(g, *t) && g.pos.Board[s + KnightLegOffset[int32_t(*t - s)]] == 0) Add(g, s, *t);
}

enum StepTargets { AnyOpenTarget, CapturesOnly };

void AddPawnSideways(CheckSearch& g, uint32_t s, StepTargets targets) {
    if (!HasCrossedRiver(g.side, s)) return;
    for (const uint32_t t : {s - 1, s + 1})
        if (SquareOnBoard[t] && (targets == CapturesOnly ? Theirs(g, t) : NotOurs(g, t)))
            Add(g, s, t);
}

void AddPawnForward(CheckSearch& g, uint32_t s, StepTargets targets) {
    const uint32_t t = s + ForwardStep(g.side);
    if (SquareOnBoard[t] && (targets == CapturesOnly ? Theirs(g, t) : NotOurs(g, t))) Add(g, s, t);
}

// A rook or cannon leaving a line: both passes go across the line first and
// then capture along the line itself, which removes the other piece of the
// line or jumps past its end.
void AddSliderLeaving(CheckSearch& g, uint32_t s, bool leavingFile, bool cannon) {
    for (int dir = 0; dir < 2; dir++) {
        AddSlides(g, s, !leavingFile, dir);
        AddLineCapture(g, s, !leavingFile, dir, cannon);
        AddLineCapture(g, s, leavingFile, dir, cannon);
    }
}

// Whether a pawn leaving a file may also step forward along it: only to take
// the other screen of a cannon.
enum PawnForward { NoForwardStep, ForwardCaptureOnly };

// The moves of the piece on b that take it off a file through their king.
void LeaveFile(CheckSearch& g, uint32_t b, PawnForward pawnForward) {
    const uint32_t offset = OffsetAt(g, b);
    if (offset == KingOffset) {
        for (const uint32_t t : {b - 1, b + 1})
            if (SquareInPalace[t] && NotOurs(g, t)) Add(g, b, t);
    } else if (offset < BishopOffset) {
        AddStepMoves(g, b, AdvisorMoves[b]);
    } else if (offset < KnightOffset) {
        AddBishopMoves(g, b);
    } else if (IsKnight(offset)) {
        AddKnightMoves(g, b);
    } else if (IsRook(offset) || IsCannon(offset)) {
        AddSliderLeaving(g, b, true, IsCannon(offset));
    } else {
        AddPawnSideways(g, b, AnyOpenTarget);
        if (pawnForward == ForwardCaptureOnly) AddPawnForward(g, b, CapturesOnly);
    }
}

// The moves of the piece on b that take it off a row through their king.
void LeaveRow(CheckSearch& g, uint32_t b) {
    const uint32_t offset = OffsetAt(g, b);
    if (IsKnight(offset)) {
        AddKnightMoves(g, b);
    } else if (IsRook(offset) || IsCannon(offset)) {
        AddSliderLeaving(g, b, false, IsCannon(offset));
    } else if (IsPawn(offset)) {
        AddPawnForward(g, b, AnyOpenTarget);
    }
}

// Every move of the piece on b, which blocks a knight's leg.
void LeaveSquare(CheckSearch& g, uint32_t b) {
    const uint32_t offset = OffsetAt(g, b);
    if (IsKnight(offset)) {
        AddKnightMoves(g, b);
    } else if (IsRook(offset) || IsCannon(offset)) {
        const bool cannon = IsCannon(offset);
        for (const bool alongFile : {true, false}) {
            for (int dir = 0; dir < 2; dir++) {
                AddSlides(g, b, alongFile, dir);
                AddLineCapture(g, b, alongFile, dir, cannon);
            }
        }
    } else if (IsPawn(offset)) {
        AddPawnSideways(g, b, AnyOpenTarget);
        AddPawnForward(g, b, AnyOpenTarget);
    }
}

// ---------------------------------------------------------------------------
// Rooks: a corner square on the king's lines, or the one piece between

void RookChecks(CheckSearch& g, uint32_t r) {
    const Position& pos = g.pos;
    const uint32_t rf = FileOfSquare[r], rr = RowOfSquare[r];
    const uint32_t kf = g.kf, kr = g.kr;
    if (rf != kf && rr != kr) {
        // The corner on our own row, then the one on our own file.
        const uint32_t t1 = SquareAt(kf, rr);
        if ((RowEmptyMask[rf][pos.RowBits[rr]] & FileBit(kf)) &&
            (FileEmptyMask[kr][pos.FileBits[kf]] & RowBit(rr)))
            Add(g, r, t1);
        else if ((RowRookCaptureMask[rf][pos.RowBits[rr]] & FileBit(kf)) && Theirs(g, t1) &&
                 (FileRookCaptureMask[kr][pos.FileBits[kf]] & RowBit(rr)))
            Add(g, r, t1);
        const uint32_t t2 = SquareAt(rf, kr);
        if ((FileEmptyMask[rr][pos.FileBits[rf]] & RowBit(kr)) &&
            (RowEmptyMask[kf][pos.RowBits[kr]] & FileBit(rf)))
            Add(g, r, t2);
        else if ((FileRookCaptureMask[rr][pos.FileBits[rf]] & RowBit(kr)) && Theirs(g, t2) &&
                 (RowRookCaptureMask[kf][pos.RowBits[kr]] & FileBit(rf)))
            Add(g, r, t2);
    } else if (rr == kr) {
        if (!(RowCannonCaptureMask[kf][pos.RowBits[kr]] & FileBit(rf))) return;
        const uint32_t v = RowFirstPiece[rf][pos.RowBits[rr]][kf > rf];
        const uint32_t b = SquareAt(v - 1, rr);
        if (Theirs(g, b)) {
            Add(g, r, b);
        } else {
            const uint32_t offset = OffsetAt(g, b);
            if (IsKnight(offset) || IsCannon(offset) || IsPawn(offset)) LeaveRow(g, b);
        }
    } else {
        if (!(FileCannonCaptureMask[kr][pos.FileBits[kf]] & RowBit(rr))) return;
        const uint32_t v = FileFirstPiece[rr][pos.FileBits[rf]][kr > rr];
        const uint32_t b = SquareAt(rf, v - 1);
        if (Theirs(g, b)) {
            Add(g, r, b);
        } else {
            // A rook or king there would be checking or facing already.
            const uint32_t offset = OffsetAt(g, b);
            if (offset != KingOffset && !IsRook(offset)) LeaveFile(g, b, NoForwardStep);
        }
    }
}

// ---------------------------------------------------------------------------
// Cannons: a corner square, or a screen put in or taken out

// Pieces of ours that move onto their king's file between it and the cannon,
// which has nothing between, become its screen.
void ScreenOntoFile(CheckSearch& g, uint32_t c) {
    const Position& pos = g.pos;
    const uint32_t cr = RowOfSquare[c], kf = g.kf, kr = g.kr;
    for (uint32_t p = g.base + RookOffset; p < g.base + CannonOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s || s == c) continue;
        const uint32_t row = RowOfSquare[s];
        if (Between(row, cr, kr) && (RowEmptyMask[FileOfSquare[s]][pos.RowBits[row]] & FileBit(kf)))
            Add(g, s, SquareAt(kf, row));
    }
    for (uint32_t p = g.base + KnightOffset; p < g.base + KnightOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        for (const uint8_t* t = KnightMoves[s]; *t; t++)
            if (uint32_t(FileOfSquare[*t]) == kf && Between(RowOfSquare[*t], cr, kr) &&
                pos.Board[s + KnightLegOffset[int32_t(*t - s)]] == 0)
                Add(g, s, *t);
    }
    for (uint32_t p = g.base + PawnOffset; p < g.base + 16; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s || !HasCrossedRiver(g.side, s) || !Between(RowOfSquare[s], cr, kr)) continue;
        const uint32_t file = FileOfSquare[s];
        if (file + 1 == kf || file == kf + 1) Add(g, s, SquareAt(kf, RowOfSquare[s]));
    }
    // Only the bishop square on the central file of our half lies on a
    // king's file; it is between when the cannon stands on our back rows.
    if (kf == 4) {
        const uint32_t centreRow = g.side == Red ? 7 : 2;
        const bool behind = g.side == Red ? cr > 7 : cr < 2;
        const uint32_t centre = SquareAt(4, centreRow);
        if (behind && Between(centreRow, cr, kr)) {
            for (uint32_t p = g.base + BishopOffset; p < g.base + BishopOffset + 2; p++) {
                const uint32_t s = pos.PieceSquare[p];
                if (!s) continue;
                const int32_t d = int32_t(centre) - int32_t(s);
                if (d >= -28 && d <= 28 && BishopDeltaOk[d] && pos.Board[(s + centre) / 2] == 0)
                    Add(g, s, centre);
            }
        }
    }
    for (uint32_t p = g.base + AdvisorOffset; p < g.base + AdvisorOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        for (const uint8_t* t = AdvisorMoves[s]; *t; t++)
            if (uint32_t(FileOfSquare[*t]) == kf && Between(RowOfSquare[*t], cr, kr)) Add(g, s, *t);
    }
}

// The same onto their king's row.
void ScreenOntoRow(CheckSearch& g, uint32_t c) {
    const Position& pos = g.pos;
    const uint32_t cf = FileOfSquare[c], kf = g.kf, kr = g.kr;
    for (uint32_t p = g.base + RookOffset; p < g.base + CannonOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s || s == c) continue;
        const uint32_t file = FileOfSquare[s];
        if (Between(file, cf, kf) &&
            (FileEmptyMask[RowOfSquare[s]][pos.FileBits[file]] & RowBit(kr)))
            Add(g, s, SquareAt(file, kr));
    }
    for (uint32_t p = g.base + KnightOffset; p < g.base + KnightOffset + 2; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (!s) continue;
        for (const uint8_t* t = KnightMoves[s]; *t; t++)
            if (uint32_t(RowOfSquare[*t]) == kr && Between(FileOfSquare[*t], cf, kf) &&
                pos.Board[s + KnightLegOffset[int32_t(*t - s)]] == 0)
                Add(g, s, *t);
    }
    const uint32_t pawnRow = g.side == Red ? kr + 1 : kr - 1;
    for (uint32_t p = g.base + PawnOffset; p < g.base + 16; p++) {
        const uint32_t s = pos.PieceSquare[p];
        if (s && uint32_t(RowOfSquare[s]) == pawnRow && Between(FileOfSquare[s], cf, kf))
            Add(g, s, s + ForwardStep(g.side));
    }
}

void CannonOnKingFile(CheckSearch& g, uint32_t c) {
    const Position& pos = g.pos;
    const uint32_t cr = RowOfSquare[c], kf = g.kf, kr = g.kr;
    const uint32_t occ = pos.FileBits[kf];
    const int towardTheirHalf = g.side == Red ? 0 : 1;
    if (FileRookCaptureMask[kr][occ] & RowBit(cr)) {
        ScreenOntoFile(g, c);
        // The cannon itself backs away over a piece, which becomes the screen.
        AddLineCapture(g, c, true, 1 - towardTheirHalf, true);
    } else if (FileThirdPieceMask[kr][occ] & RowBit(cr)) {
        // Two screens: either of ours that leaves the file opens the check.
        const uint32_t first = FileFirstPiece[cr][occ][towardTheirHalf];
        const uint32_t second = FileSecondPiece[cr][occ][towardTheirHalf];
        for (const uint32_t v : {first, second}) {
            if (!v) continue;
            const uint32_t b = SquareAt(kf, v - 1);
            if (IsOurs(g, b)) LeaveFile(g, b, ForwardCaptureOnly);
        }
    } else {
        // Three between: taking the middle one leaves a single screen.
        const uint32_t fromCannon = FileSecondPiece[cr][occ][towardTheirHalf];
        const uint32_t fromKing = FileSecondPiece[kr][occ][1 - towardTheirHalf];
        if (fromCannon && fromCannon == fromKing && Theirs(g, SquareAt(kf, fromCannon - 1)))
            Add(g, c, SquareAt(kf, fromCannon - 1));
    }
}

void CannonOnKingRow(CheckSearch& g, uint32_t c) {
    const Position& pos = g.pos;
    const uint32_t cf = FileOfSquare[c], kf = g.kf, kr = g.kr;
    const uint32_t occ = pos.RowBits[kr];
    const int towardKing = kf > cf ? 1 : 0;
    if (RowRookCaptureMask[kf][occ] & FileBit(cf)) {
        ScreenOntoRow(g, c);
        AddLineCapture(g, c, false, 1 - towardKing, true);
    } else if (RowThirdPieceMask[kf][occ] & FileBit(cf)) {
        const uint32_t first = RowFirstPiece[cf][occ][towardKing];
        const uint32_t second = RowSecondPiece[cf][occ][towardKing];
        for (const uint32_t v : {first, second}) {
            if (!v) continue;
            const uint32_t b = SquareAt(v - 1, kr);
            if (!IsOurs(g, b)) continue;
            const uint32_t offset = OffsetAt(g, b);
            if (IsPawn(offset)) {
                // Sideways a pawn stays on the row, unless it takes the other screen.
                AddPawnForward(g, b, AnyOpenTarget);
                AddPawnSideways(g, b, CapturesOnly);
            } else if (IsKnight(offset) || IsRook(offset) || IsCannon(offset)) {
                LeaveRow(g, b);
            }
        }
    } else {
        const uint32_t fromCannon = RowSecondPiece[cf][occ][towardKing];
        const uint32_t fromKing = RowSecondPiece[kf][occ][1 - towardKing];
        if (fromCannon && fromCannon == fromKing && Theirs(g, SquareAt(fromCannon - 1, kr)))
            Add(g, c, SquareAt(fromCannon - 1, kr));
    }
}

void CannonChecks(CheckSearch& g, uint32_t c) {
    const Position& pos = g.pos;
    const uint32_t cf = FileOfSquare[c], cr = RowOfSquare[c];
    const uint32_t kf = g.kf, kr = g.kr;
    if (cf == kf) {
        CannonOnKingFile(g, c);
    } else if (cr == kr) {
        CannonOnKingRow(g, c);
    } else {
        const uint32_t t1 = SquareAt(kf, cr);
        if ((RowEmptyMask[cf][pos.RowBits[cr]] & FileBit(kf)) &&
            (FileCannonCaptureMask[cr][pos.FileBits[kf]] & RowBit(kr)))
            Add(g, c, t1);
        else if ((RowCannonCaptureMask[cf][pos.RowBits[cr]] & FileBit(kf)) && Theirs(g, t1) &&
                 (FileCannonCaptureMask[kr][pos.FileBits[kf]] & RowBit(cr)))
            Add(g, c, t1);
        const uint32_t t2 = SquareAt(cf, kr);
        if ((FileEmptyMask[cr][pos.FileBits[cf]] & RowBit(kr)) &&
            (RowCannonCaptureMask[cf][pos.RowBits[kr]] & FileBit(kf)))
            Add(g, c, t2);
        else if ((FileCannonCaptureMask[cr][pos.FileBits[cf]] & RowBit(kr)) && Theirs(g, t2) &&
                 (RowCannonCaptureMask[kf][pos.RowBits[kr]] & FileBit(cf)))
            Add(g, c, t2);
    }
}

// ---------------------------------------------------------------------------
// Knights and pawns

void KnightChecks(CheckSearch& g, uint32_t s) {
    const Position& pos = g.pos;
    const int32_t d = int32_t(g.king) - int32_t(s);
    if (d >= -27 && d <= 27 && KnightDeltaOk[d]) {
        // Already aimed at the king: only its leg can open the check.
        const uint32_t leg = s + KnightLegOffset[d];
        if (IsOurs(g, leg)) LeaveSquare(g, leg);
        return;
    }
    for (const uint8_t* t = KnightMoves[s]; *t; t++) {
        if (!NotOurs(g, *t) || pos.Board[s + KnightLegOffset[int32_t(*t - s)]] != 0) continue;
        const int32_t e = int32_t(g.king) - int32_t(*t);
        if (e >= -27 && e <= 27 && KnightDeltaOk[e] && pos.Board[*t + KnightLegOffset[e]] == 0)
            Add(g, s, *t);
    }
}

void PawnChecks(CheckSearch& g, uint32_t s) {
    const uint32_t pf = FileOfSquare[s], pr = RowOfSquare[s];
    const uint32_t kf = g.kf, kr = g.kr;
    const uint32_t oneBehind = g.side == Red ? kr + 1 : kr - 1;
    const uint32_t twoBehind = g.side == Red ? kr + 2 : kr - 2;
    const bool crossed = HasCrossedRiver(g.side, s);
    if (pf == kf && pr == twoBehind) {
        AddPawnForward(g, s, AnyOpenTarget);
    } else if (pr == kr && (pf + 2 == kf || pf == kf + 2)) {
        const uint32_t t = pf < kf ? s + 1 : s - 1;
        if (crossed && NotOurs(g, t)) Add(g, s, t);
    } else if (pr == oneBehind && (pf + 1 == kf || pf == kf + 1)) {
        const uint32_t t = pf < kf ? s + 1 : s - 1;
        if (crossed && NotOurs(g, t)) Add(g, s, t);
        AddPawnForward(g, s, AnyOpenTarget);
    }
}

}  // namespace

bool IsListed(uint32_t from, uint32_t to, const MoveRecord* list, int count) {
    for (int i = 0; i < count; i++)
        if (list[i].from == from && list[i].to == to) return true;
    return false;
}

// Out of line: the quiescence search calls it only once its captures run out.
[[gnu::noinline]] int GenerateChecks(const Position& pos, MoveRecord* list) {
    const uint32_t side = pos.SideToMove;
    const uint32_t king = pos.PieceSquare[SideBase(side ^ 1)];
    if (king == 0) return 0;
    CheckSearch g{pos,
                  list,
                  0,
                  side,
                  SideBase(side),
                  16u << side,
                  32u >> side,
                  king,
                  uint32_t(FileOfSquare[king]),
                  uint32_t(RowOfSquare[king])};
    const uint32_t base = g.base;
    for (uint32_t p = base + RookOffset; p < base + RookOffset + 2; p++)
        if (const uint32_t s = pos.PieceSquare[p]) RookChecks(g, s);
    for (uint32_t p = base + CannonOffset; p < base + CannonOffset + 2; p++)
        if (const uint32_t s = pos.PieceSquare[p]) CannonChecks(g, s);
    for (uint32_t p = base + KnightOffset; p < base + KnightOffset + 2; p++)
        if (const uint32_t s = pos.PieceSquare[p]) KnightChecks(g, s);
    for (uint32_t p = base + PawnOffset; p < base + 16; p++)
        if (const uint32_t s = pos.PieceSquare[p]) PawnChecks(g, s);
    return g.n;
}
