// The answer drawn from the table: the principal variation after each
// iteration, the best move and the reply to ponder on after the search.
// Moves are read back entry by entry, played on the position and taken back.

#include "search/search.h"
#include "search/tree.h"

namespace {

// The table's move for the current position, when there is an entry with a
// move that fits the position; collisions never reach the board.
bool HashMoveFits(const Position& pos, const HashEntry& entry) {
    if (entry.move == 0) return false;
    const MoveRecord r = RecordOfMove(pos, entry.move);
    return IsPseudoLegal(pos, r);
}

}  // namespace

void DrawPrincipalVariation(const HashTable& table, Position& pos, PrincipalVariation& pv) {
    pv.found = false;
    pv.listed = pv.legal = 0;
    HashEntry entry;
    if (!ProbeHash(table, pos, entry) || entry.move == 0 || entry.bound == BoundUpper) return;
    pv.found = true;
    // Never longer than MaxPvLength, so that it stays within the position's
    // stacks whatever the table holds.
    int listed = 0, legal = 0;
    while (entry.bound != BoundUpper && HashMoveFits(pos, entry)) {
        pv.moves[listed++] = entry.move;
        MoveRecord r = RecordOfMove(pos, entry.move);
        if (!MakeMove(r, pos)) break;
        legal++;
        if (DetectRepetition(pos) != 0 || legal >= MaxPvLength) break;
        if (!ProbeHash(table, pos, entry)) break;
    }
    for (int made = legal; made > 0; made--) UnmakeMove(pos);
    pv.listed = int8_t(listed);
    pv.legal = int8_t(legal);
}

bool DrawBestMove(const HashTable& table, Position& pos, Move& best, Move& ponder) {
    HashEntry entry;
    best = ponder = 0;
    if (!ProbeHash(table, pos, entry) || !HashMoveFits(pos, entry)) return false;
    best = entry.move;
    MoveRecord r = RecordOfMove(pos, entry.move);
    if (MakeMove(r, pos)) {
        HashEntry reply;
        if (ProbeHash(table, pos, reply) &&
            (reply.bound == BoundLower || reply.bound == BoundExact) && HashMoveFits(pos, reply)) {
            MoveRecord record = RecordOfMove(pos, reply.move);
            if (MakeMove(record, pos)) {
                UnmakeMove(pos);
                ponder = reply.move;
            }
        }
        UnmakeMove(pos);
    }
    return true;
}

void KeepRootAnswer(HashTable& table, const Position& pos, Move move, int16_t score,
                    int32_t depth) {
    if (depth == 0) return;
    HashEntry entry;
    if (ProbeHash(table, pos, entry) && entry.bound == BoundExact && entry.move == move) return;
    StoreHash(table, pos, move, score, int8_t(depth), BoundExact);
}

int32_t MateInMoves(int32_t score) {
    if (score >= MateThreshold) return (MateScore - score + 1) / 2;
    if (score <= -MateThreshold) return -((MateScore + score) / 2);
    return 0;
}

int16_t QuiescenceValue(SearchState& state, Position& pos) {
    const uint32_t savedPly = pos.Ply;
    pos.Ply = 0;
    const int16_t value = Quiesce(state, pos, -MateScore, MateScore, 0);
    pos.Ply = savedPly;
    return value;
}
