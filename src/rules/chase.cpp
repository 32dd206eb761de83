// Chases: which of the other side's pieces a side attacks in a way that
// counts, and which a move newly attacks so.

#include "check/check.h"
#include "rules/rules.h"

namespace {

// Whether `side`, as if to move, may legally capture from -> to.
bool LegalCapture(Position& board, uint32_t side, uint32_t from, uint32_t to) {
    const uint32_t saved = board.SideToMove;
    board.SideToMove = side;
    const MoveRecord record = RecordOf(from, to, board.Board[to]);
    const bool legal = IsPseudoLegal(board, record) && !LeavesKingAttacked(board, from, to);
    board.SideToMove = saved;
    return legal;
}

// Whether any of `side`'s pieces may legally capture on `square`; the king
// only where it would not be attacked, which legality already says.
bool CanRecapture(Position& board, uint32_t side, uint32_t square) {
    const uint32_t base = SideBase(side);
    for (uint32_t piece = base; piece < base + 16; piece++) {
        const uint32_t from = board.PieceSquare[piece];
        if (from && LegalCapture(board, side, from, square)) return true;
    }
    return false;
}

bool IsTarget(const Position& board, uint32_t piece, const RuleSet& rules) {
    const PieceType type = TypeOfPiece(piece);
    if (!rules.chased[type]) return false;
    if (type != PawnType || rules.uncrossedPawnsChased) return true;
    return HasCrossedRiver(SideOfPiece(piece), board.PieceSquare[piece]);
}

bool AttackCounts(Position& board, uint32_t attacker, uint32_t target, const RuleSet& rules) {
    const uint32_t from = board.PieceSquare[attacker], to = board.PieceSquare[target];
    const uint32_t side = SideOfPiece(attacker), other = side ^ 1;
    if (!LegalCapture(board, side, from, to)) return false;
    const PieceType attackerType = TypeOfPiece(attacker), targetType = TypeOfPiece(target);
    if (attackerType == targetType && rules.mutualAttacksExempt &&
        LegalCapture(board, other, to, from))
        return false;
    if (rules.chasesProtected[attackerType][targetType]) return true;
    const uint32_t victim = LiftOnto(board, from, to);
    const bool protectedTarget = CanRecapture(board, other, to);
    PutBack(board, from, to, victim);
    return !protectedTarget;
}

}  // namespace

uint64_t CountingAttacks(Position& board, uint32_t side, const RuleSet& rules) {
    uint64_t chased = 0;
    const uint32_t ours = SideBase(side), theirs = SideBase(side ^ 1);
    for (uint32_t attacker = ours; attacker < ours + 16; attacker++) {
        if (!board.PieceSquare[attacker] || !rules.chaser[TypeOfPiece(attacker)]) continue;
        for (uint32_t target = theirs; target < theirs + 16; target++) {
            if ((chased >> target) & 1) continue;
            if (!board.PieceSquare[target] || !IsTarget(board, target, rules)) continue;
            if (AttackCounts(board, attacker, target, rules)) chased |= uint64_t(1) << target;
        }
    }
    return chased;
}

bool GaveCheck(const Position& board) {
    return AttackersOfKing(board, board.SideToMove) != 0;
}

uint64_t ChaseSet(Position& board, Move m, const RuleSet& rules) {
    const uint32_t side = board.SideToMove;
    const uint32_t from = MoveFrom(m), to = MoveTo(m);
    const uint64_t before = CountingAttacks(board, side, rules);
    const uint32_t victim = LiftOnto(board, from, to);
    board.SideToMove ^= 1;
    const uint64_t after = GaveCheck(board) ? 0 : CountingAttacks(board, side, rules);
    board.SideToMove ^= 1;
    PutBack(board, from, to, victim);
    return after & ~before;
}
