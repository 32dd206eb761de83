// Reports: "info time", "info depth ... pv", "bestmove"/"nobestmove" and
// "pophash". Moves come from the hash table, found by playing the stored
// moves on the position and taking them back.

#include "shell/reports.h"

#include <cstdio>

#include "search/search.h"
#include "shell/engine_state.h"
#include "shell/shell.h"

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

void WriteMove(uint32_t from, uint32_t to) {
    char text[5];
    FormatMove(from, to, text);
    WriteOut(text);
}

void ReportTime(int32_t elapsed) {
    char text[64];
    std::snprintf(text, sizeof text, "info time %d nodes %u\n", elapsed, NodeCount);
    WriteOut(text);
}

void ReportDepth(int32_t depth, int32_t score, Position& pos) {
    char text[64];
    std::snprintf(text, sizeof text, "info depth %d score %d pv ", depth, score);
    WriteOut(text);
    ReportPv(pos);
    WriteOut("\n");
}

void ReportPv(Position& pos) {
    HashEntry entry;
    if (!ProbeHash(pos, entry) || entry.move == 0) {
        WriteOut("nobestmove\n");
        return;
    }
    uint32_t made = 0;
    for (;;) {
        if (entry.bound == BoundUpper) {
            if (made == 0) WriteOut("nobestmove\n");
            break;
        }
        if (!HashMoveFits(pos, entry)) break;
        WriteMove(MoveFrom(entry.move), MoveTo(entry.move));
        WriteOut(" ");
        MoveRecord r = RecordOfMove(pos, entry.move);
        if (!MakeMove(r, pos)) break;
        made++;
        if (DetectRepetition(pos) != 0 || made >= MaxPvLength) break;
        if (!ProbeHash(pos, entry)) break;
    }
    for (; made > 0; made--) UnmakeMove(pos);
}

void ReportBestMove(Position& pos) {
    HashEntry entry;
    // No entry, or a root without a legal, unbanned move: never a made-up move.
    if (!ProbeHash(pos, entry) || !HashMoveFits(pos, entry)) {
        WriteOut("nobestmove\n");
        return;
    }
    WriteOut("bestmove ");
    WriteMove(MoveFrom(entry.move), MoveTo(entry.move));
    MoveRecord r = RecordOfMove(pos, entry.move);
    if (MakeMove(r, pos)) {
        HashEntry reply;
        if (ProbeHash(pos, reply) && (reply.bound == BoundLower || reply.bound == BoundExact) &&
            HashMoveFits(pos, reply)) {
            MoveRecord ponder = RecordOfMove(pos, reply.move);
            if (MakeMove(ponder, pos)) {
                UnmakeMove(pos);
                WriteOut(" ponder ");
                WriteMove(MoveFrom(reply.move), MoveTo(reply.move));
            }
        }
        UnmakeMove(pos);
    }
    WriteOut("\n");
}

void ReportProbe(Position& pos) {
    WriteOut("pophash ");
    HashEntry entry;
    char text[128];
    if (ProbeHash(pos, entry)) {
        if (entry.move != 0 && entry.bound != BoundUpper) {
            WriteOut("bestmove ");
            WriteMove(MoveFrom(entry.move), MoveTo(entry.move));
            WriteOut(" ");
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
        WriteOut(text);
        WriteOut(" ");
        WriteOut("\n");
        return;
    }
    // Not in the table: the quiescence value, counted from this position.
    const uint32_t savedPly = pos.Ply;
    pos.Ply = 0;
    const int value = Quiesce(-MateScore, MateScore, pos, 0);
    pos.Ply = savedPly;
    std::snprintf(text, sizeof text, "lowerbound %d depth 0 upperbound %d depth 0", value, value);
    WriteOut(text);
    WriteOut("\n");
}
