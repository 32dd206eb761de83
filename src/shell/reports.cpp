// Reports: "info time", "info depth ... pv", "bestmove"/"nobestmove" and
// "pophash". Moves come from the hash table, found by playing the stored
// moves on the position and taking them back.

#include "shell/reports.h"

#include <cstdio>

namespace {

// The principal variation never runs longer than this, so that it stays
// within the position's stacks whatever the table holds.
constexpr uint32_t MaxPvLength = 64;

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

void ReportPv(LineChannel& out, const HashTable& table, Position& pos) {
    HashEntry entry;
    if (!ProbeHash(table, pos, entry) || entry.move == 0) {
        WriteChannel(out, "nobestmove\n");
        return;
    }
    uint32_t made = 0;
    for (;;) {
        if (entry.bound == BoundUpper) {
            if (made == 0) WriteChannel(out, "nobestmove\n");
            break;
        }
        if (!HashMoveFits(pos, entry)) break;
        WriteMove(out, MoveFrom(entry.move), MoveTo(entry.move));
        WriteChannel(out, " ");
        MoveRecord r = RecordOfMove(pos, entry.move);
        if (!MakeMove(r, pos)) break;
        made++;
        if (DetectRepetition(pos) != 0 || made >= MaxPvLength) break;
        if (!ProbeHash(table, pos, entry)) break;
    }
    for (; made > 0; made--) UnmakeMove(pos);
}

void ReportBestMove(LineChannel& out, const HashTable& table, Position& pos) {
    HashEntry entry;
    // No entry, or a root without a legal, unbanned move: never a made-up move.
    if (!ProbeHash(table, pos, entry) || !HashMoveFits(pos, entry)) {
        WriteChannel(out, "nobestmove\n");
        return;
    }
    WriteChannel(out, "bestmove ");
    WriteMove(out, MoveFrom(entry.move), MoveTo(entry.move));
    MoveRecord r = RecordOfMove(pos, entry.move);
    if (MakeMove(r, pos)) {
        HashEntry reply;
        if (ProbeHash(table, pos, reply) &&
            (reply.bound == BoundLower || reply.bound == BoundExact) && HashMoveFits(pos, reply)) {
            MoveRecord ponder = RecordOfMove(pos, reply.move);
            if (MakeMove(ponder, pos)) {
                UnmakeMove(pos);
                WriteChannel(out, " ponder ");
                WriteMove(out, MoveFrom(reply.move), MoveTo(reply.move));
            }
        }
        UnmakeMove(pos);
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
