// The in-place test behind every evasion: play a move on the board and the
// occupancy words only, look for an attacker of the mover's king, put the
// pieces back. Keys, values and stacks are never touched.

#include "check/check.h"

// Out of line: the evasion generators call it from many places.
[[gnu::noinline]] bool LeavesKingAttacked(Position& pos, uint32_t from, uint32_t to) {
    const uint32_t victim = LiftOnto(pos, from, to);
    const bool attacked = AttackersOfKing(pos, pos.SideToMove) != 0;
    PutBack(pos, from, to, victim);
    return attacked;
}
