// Reports: "info time", "info depth ... pv", "bestmove"/"nobestmove" and
// "pophash". Moves come from the hash table, found by playing the stored
// moves on the position and taking them back.

#include "shell/reports.h"

#include <cstdio>

namespace {

// The table's move for the current position, when there is an entry with a
// move that fits the position; collisions never reach the board.
bool HashMoveFits(const Position& pos, const HashEntry& entry) {
    if (entry.move == 0) return false;
    const MoveRecord r = RecordOfMove(pos, entry.move);
    return IsPseudoLegal(pos, r);
}

}  // namespace

void WriteMove(LineChannel& out, uint32_t from, uint32_t to) {
    char text[5];
    FormatMove(from, to, text);
    WriteChannel(out, text);
}

void ReportTime(LineChannel& out, int32_t elapsed, uint32_t nodes) {
    char text[64];
    std::snprintf(text, sizeof text, "info time %d nodes %u\n", elapsed, nodes);
    WriteChannel(out, text);
}

void ReportDepth(LineChannel& out, const HashTable& table, int32_t depth, int32_t score,
                 Position& pos) {
    char text[64];
    std::snprintf(text, sizeof text, "info depth %d score %d pv ", depth, score);
    WriteChannel(out, text);
    ReportPv(out, table, pos);
    WriteChannel(out, "\n");
}

bool WalkPv(const HashTable& table, Position& pos, Move* moves, int& listed, int& legal) {
    listed = legal = 0;
    HashEntry entry;
    if (!ProbeHash(table, pos, entry) || entry.move == 0 || entry.bound == BoundUpper) return false;
    // Never longer than MaxPvLength, so that it stays within the position's
    // stacks whatever the table holds.
    while (entry.bound != BoundUpper && HashMoveFits(pos, entry)) {
        moves[listed++] = entry.move;
        MoveRecord r = RecordOfMove(pos, entry.move);
        if (!MakeMove(r, pos)) break;
        legal++;
        if (DetectRepetition(pos) != 0 || legal >= MaxPvLength) break;
        if (!ProbeHash(table, pos, entry)) break;
    }
    for (int made = legal; made > 0; made--) UnmakeMove(pos);
    return true;
}

void ReportPv(LineChannel& out, const HashTable& table, Position& pos) {
    Move moves[MaxPvLength];
    int listed, legal;
    if (!WalkPv(table, pos, moves, listed, legal)) {
        WriteChannel(out, "nobestmove\n");
        return;
    }
    for (int i = 0; i < listed; i++) {
        WriteMove(out, MoveFrom(moves[i]), MoveTo(moves[i]));
        WriteChannel(out, " ");
    }
}

bool TableBestMove(const HashTable& table, Position& pos, Move& best, Move& ponder) {
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

void ReportBestMove(LineChannel& out, const HashTable& table, Position& pos) {
    Move best, ponder;
    // No entry, or a root without a legal, unbanned move: never a made-up move.
    if (!TableBestMove(table, pos, best, ponder)) {
        WriteChannel(out, "nobestmove\n");
        return;
    }
    WriteChannel(out, "bestmove ");
    WriteMove(out, MoveFrom(best), MoveTo(best));
    if (ponder != 0) {
        WriteChannel(out, " ponder ");
        WriteMove(out, MoveFrom(ponder), MoveTo(ponder));
    }
    WriteChannel(out, "\n");
}

void ReportProbe(LineChannel& out, SearchState& state, Position& pos) {
    WriteChannel(out, "pophash ");
    HashEntry entry;
    char text[128];
    if (ProbeHash(state.hash, pos, entry)) {
        if (entry.move != 0 && entry.bound != BoundUpper) {
            WriteChannel(out, "bestmove ");
            WriteMove(out, MoveFrom(entry.move), MoveTo(entry.move));
            WriteChannel(out, " ");
        }
        const int value = entry.value, depth = entry.depth;
        switch (entry.bound) {
            case BoundUpper:
                std::snprintf(text, sizeof text, "upperbound %d depth %d ", value, depth);
                break;
            case BoundLower:
                std::snprintf(text, sizeof text, "lowerbound %d depth %d  ", value, depth);
                break;
            default:
                std::snprintf(text, sizeof text, "lowerbound %d depth %d  upperbound %d depth %d ",
                              value, depth, value, depth);
                break;
        }
        WriteChannel(out, text);
        WriteChannel(out, " ");
        WriteChannel(out, "\n");
        return;
    }
    // Not in the table: the quiescence value, counted from this position.
    const uint32_t savedPly = pos.Ply;
    pos.Ply = 0;
    const int value = Quiesce(state, pos, -MateScore, MateScore, 0);
    pos.Ply = savedPly;
    std::snprintf(text, sizeof text, "lowerbound %d depth 0 upperbound %d depth 0", value, value);
    WriteChannel(out, text);
    WriteChannel(out, "\n");
}
