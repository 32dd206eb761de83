// UCI's "go": a book move, or a search of the game position reported in
// "info depth ..." lines, then "bestmove". The input is read during the
// search: "stop", "quit", "isready" and "ponderhit".

#include <cstdio>
#include <cstring>

#include "shell/platform.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"

namespace {

PollAnswer PollUci(void* context) {
    return PollDuringSearch(*static_cast<Engine*>(context));
}

void Idle(void*) {
    SleepMilliseconds(1);
}

void AppendMove(char* text, size_t capacity, Move move) {
    char word[6] = {' '};
    FormatMove(MoveFrom(move), MoveTo(move), word + 1);
    std::strncat(text, word, capacity - std::strlen(text) - 1);
}

// Completed iterations only: an interrupted one has no score to show.
void ReportUciIteration(void* context, const IterationReport& report) {
    if (!report.completed) return;
    Engine& engine = *static_cast<Engine*>(context);
    char score[32];
    FormatUciScore(report.score, score, sizeof score);
    const uint64_t elapsed = report.elapsed > 0 ? uint64_t(report.elapsed) : 0;
    const uint64_t nps = report.nodes * uint64_t(1000) / (elapsed > 0 ? elapsed : 1);
    char text[128 + MaxPvLength * 5];
    std::snprintf(text, sizeof text, "info depth %d score %s nodes %u nps %llu time %llu",
                  report.depth, score, report.nodes, static_cast<unsigned long long>(nps),
                  static_cast<unsigned long long>(elapsed));
    if (report.pv.found && report.pv.legal > 0) {
        std::strncat(text, " pv", sizeof text - std::strlen(text) - 1);
        for (int i = 0; i < report.pv.legal; i++) AppendMove(text, sizeof text, report.pv.moves[i]);
    }
    std::strncat(text, "\n", sizeof text - std::strlen(text) - 1);
    WriteChannel(engine.channel, text);
}

bool IsLegalMove(Position& pos, Move move) {
    if (move == 0) return false;
    MoveRecord record = RecordOfMove(pos, move);
    if (!IsPseudoLegal(pos, record) || !MakeMove(record, pos)) return false;
    UnmakeMove(pos);
    return true;
}

// Any legal move, 0 when there is none.
Move FirstLegalMove(Position& pos) {
    MoveRecord list[MaxGeneratedMoves];
    const int count = GenerateAll(pos, list);
    for (int i = 0; i < count; i++)
        if (IsLegalMove(pos, MoveOf(list[i]))) return MoveOf(list[i]);
    return 0;
}

// A front end always gets a legal move while there is one.
void WriteUciBestMove(Engine& engine, Move best, Move ponder) {
    Position& pos = engine.game;
    if (!IsLegalMove(pos, best)) {
        best = FirstLegalMove(pos);
        ponder = 0;
    }
    if (best == 0) {
        WriteChannel(engine.channel, "bestmove (none)\n");
        return;
    }
    char text[32] = "bestmove";
    AppendMove(text, sizeof text, best);
    if (ponder != 0) {
        std::strncat(text, " ponder", sizeof text - std::strlen(text) - 1);
        AppendMove(text, sizeof text, ponder);
    }
    std::strncat(text, "\n", sizeof text - std::strlen(text) - 1);
    WriteChannel(engine.channel, text);
}

}  // namespace

void FormatUciScore(int32_t score, char* text, size_t capacity) {
    if (IsMateScore(score)) {
        std::snprintf(text, capacity, "mate %d", MateInMoves(score));
    } else {
        std::snprintf(text, capacity, "cp %d", score);
    }
}

void RunUciGo(Engine& engine, char* const* words, int count) {
    // 1. The first "go" without a position searches the start position.
    PrepareEngine(engine);
    Position& game = GamePosition(engine);
    const UciGoLimits go = ReadUciGoLimits(words, count, game.SideToMove);

    // 2. The book answers at once, except where the answer must wait for
    //    "stop" or "ponderhit".
    SearchAnswer answer;
    engine.infinite = go.infinite;
    if (go.limits.ponder || !ChooseBookAnswer(engine, answer)) {
        const SearchReporter reporter{&engine, PollUci, ReportUciIteration, Idle};
        answer = RunSearch(engine.search, game, go.limits, reporter);
    }
    engine.infinite = false;

    // 3. A "quit" read during the search ends the session without an answer.
    if (!engine.quitting) WriteUciBestMove(engine, answer.best, answer.ponder);
}
