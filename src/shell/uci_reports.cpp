// UCI's reports: the "info" lines of a search, the move under way, and
// scores in centipawns.

#include <cstdio>
#include <cstring>

#include "position/piece_values.h"
#include "search/clock.h"
#include "shell/uci.h"

namespace {

// The move searched is shown once the search has run this long: a front end
// then sees that a long iteration is under way.
constexpr int64_t CurrentMoveDelay = 1000;

}  // namespace

void AppendUciText(char* text, size_t capacity, const char* more) {
    std::strncat(text, more, capacity - std::strlen(text) - 1);
}

void AppendUciMove(char* text, size_t capacity, Move move) {
    char word[6] = {' '};
    FormatMove(MoveFrom(move), MoveTo(move), word + 1);
    AppendUciText(text, capacity, word);
}

void WriteUciInfo(Engine& engine, const IterationReport& report) {
    char score[32];
    FormatUciScore(report.score, score, sizeof score);
    const char* bound = report.bound == ScoreLowerBound   ? " lowerbound"
                        : report.bound == ScoreUpperBound ? " upperbound"
                                                          : "";
    const uint64_t elapsed = report.elapsed > 0 ? uint64_t(report.elapsed) : 0;
    const uint64_t nps = report.nodes * uint64_t(1000) / (elapsed > 0 ? elapsed : 1);
    char text[192 + MaxPvLength * 5];
    std::snprintf(text, sizeof text,
                  "info depth %d seldepth %d multipv %d score %s%s nodes %u nps %llu hashfull %u "
                  "tbhits 0 time %llu",
                  report.depth, report.selDepth, report.line, score, bound, report.nodes,
                  static_cast<unsigned long long>(nps), report.hashFull,
                  static_cast<unsigned long long>(elapsed));
    if (report.pv.found && report.pv.legal > 0) {
        AppendUciText(text, sizeof text, " pv");
        for (int i = 0; i < report.pv.legal; i++)
            AppendUciMove(text, sizeof text, report.pv.moves[i]);
    }
    AppendUciText(text, sizeof text, "\n");
    WriteChannel(engine.channel, text);
}

void ReportUciIteration(void* context, const IterationReport& report) {
    if (!report.completed) return;
    UciSearch& search = *static_cast<UciSearch*>(context);
    StrengthLines& lines = search.lines;
    if (report.depth != lines.depth) {
        lines.depth = report.depth;
        lines.count = 0;
    }
    // A line whose move the table lost cannot be chosen, nor any after it.
    if (report.line == lines.count + 1 && lines.count < StrengthLineCount && report.pv.found &&
        report.pv.legal > 0) {
        lines.moves[lines.count] = report.pv.moves[0];
        lines.scores[lines.count] = report.score;
        lines.count++;
    }
    if (report.line <= search.shownLines) WriteUciInfo(*search.engine, report);
}

void ReportUciRootMove(void* context, Move move, int number) {
    Engine& engine = *static_cast<UciSearch*>(context)->engine;
    if (ClockMilliseconds() - engine.searchStart < CurrentMoveDelay) return;
    char text[64] = "info currmove";
    AppendUciMove(text, sizeof text, move);
    char tail[32];
    std::snprintf(tail, sizeof tail, " currmovenumber %d\n", number);
    AppendUciText(text, sizeof text, tail);
    WriteChannel(engine.channel, text);
}

int32_t UciCentipawns(int32_t score) {
    return score * 100 / PawnUnit;
}

void FormatUciScore(int32_t score, char* text, size_t capacity) {
    if (IsMateScore(score)) {
        std::snprintf(text, capacity, "mate %d", MateInMoves(score));
    } else {
        std::snprintf(text, capacity, "cp %d", UciCentipawns(score));
    }
}
