// UCCI's reports: "info time", "info depth ... pv", "bestmove"/"nobestmove"
// from the search's answer, and "pophash", which reads the hash table.

#include <cstdio>

#include "shell/ucci.h"

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

void ReportDepth(LineChannel& out, int32_t depth, int32_t score, const PrincipalVariation& pv) {
    char text[64];
    std::snprintf(text, sizeof text, "info depth %d score %d pv ", depth, score);
    WriteChannel(out, text);
    if (!pv.found) {
        WriteChannel(out, "nobestmove\n");
    } else {
        for (int i = 0; i < pv.listed; i++) {
            WriteMove(out, MoveFrom(pv.moves[i]), MoveTo(pv.moves[i]));
            WriteChannel(out, " ");
        }
    }
    WriteChannel(out, "\n");
}

void ReportBestMove(LineChannel& out, const SearchAnswer& answer) {
    // No answer, or a root without a legal, unbanned move: never a made-up move.
    if (answer.best == 0) {
        WriteChannel(out, "nobestmove\n");
        return;
    }
    WriteChannel(out, "bestmove ");
    WriteMove(out, MoveFrom(answer.best), MoveTo(answer.best));
    if (answer.ponder != 0) {
        WriteChannel(out, " ponder ");
        WriteMove(out, MoveFrom(answer.ponder), MoveTo(answer.ponder));
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
    const int value = QuiescenceValue(state, pos);
    std::snprintf(text, sizeof text, "lowerbound %d depth 0 upperbound %d depth 0", value, value);
    WriteChannel(out, text);
    WriteChannel(out, "\n");
}
