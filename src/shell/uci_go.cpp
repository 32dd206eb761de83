// UCI's "go": a book move, or a search of the game position reported in
// "info depth ..." lines, then "bestmove". The input is read during the
// search: "stop", "quit", "isready" and "ponderhit".

#include <cstdio>
#include <cstring>

#include "book/book.h"
#include "search/clock.h"
#include "shell/platform.h"
#include "shell/reports.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"

namespace {

struct UciSearch {
    Engine* engine;
    bool infinite;  // a "ponderhit" does not end the wait for "stop"
};

PollAnswer PollUci(void* context) {
    UciSearch& search = *static_cast<UciSearch*>(context);
    Engine& engine = *search.engine;
    static char line[UciLineBufferSize];
    static char* words[UciWordListSize];
    if (!ReadLine(engine.channel, line))
        return AtEndOfInput(engine.channel) ? PollStop : PollContinue;
    const int count = SplitWords(line, words, UciWordListSize);
    const PollAnswer answer = AnswerDuringSearch(engine, KeywordOf(WordAt(words, count, 0)));
    return answer == PollPonderHit && search.infinite ? PollContinue : answer;
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
void ReportUciIteration(void* context, const IterationReport& report, const SearchState& state,
                        Position& pos) {
    if (!report.completed) return;
    Engine& engine = *static_cast<UciSearch*>(context)->engine;
    char score[32];
    FormatUciScore(report.score, score, sizeof score);
    const uint64_t elapsed = report.elapsed > 0 ? uint64_t(report.elapsed) : 0;
    const uint64_t nps = report.nodes * uint64_t(1000) / (elapsed > 0 ? elapsed : 1);
    char text[128 + MaxPvLength * 5];
    std::snprintf(text, sizeof text, "info depth %d score %s nodes %u nps %llu time %llu",
                  report.depth, score, report.nodes, static_cast<unsigned long long>(nps),
                  static_cast<unsigned long long>(elapsed));
    Move moves[MaxPvLength];
    int listed, legal;
    if (WalkPv(state.hash, pos, moves, listed, legal) && legal > 0) {
        std::strncat(text, " pv", sizeof text - std::strlen(text) - 1);
        for (int i = 0; i < legal; i++) AppendMove(text, sizeof text, moves[i]);
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
    if (score >= MateThreshold) {
        std::snprintf(text, capacity, "mate %d", (MateScore - score + 1) / 2);
    } else if (score <= -MateThreshold) {
        std::snprintf(text, capacity, "mate %d", -((MateScore + score) / 2));
    } else {
        std::snprintf(text, capacity, "cp %d", score);
    }
}

void RunUciGo(Engine& engine, char* const* words, int count) {
    // 1. The first "go" without a position searches the start position.
    PrepareEngine(engine);
    if (!engine.positionSet) {
        LoadFen(StartFen, engine.game);
        engine.positionSet = true;
    }
    const UciGoLimits go = ReadUciGoLimits(words, count, engine.game.SideToMove);

    // 2. The book answers at once, except where the answer must wait for
    //    "stop" or "ponderhit".
    Move best = 0, ponder = 0;
    const bool book = !go.limits.ponder && engine.useBook;
    if (!book || !ChooseBookMove(engine.book, engine.game, best)) {
        UciSearch search{&engine, go.infinite};
        const SearchReporter reporter{&search, PollUci, ReportUciIteration, Idle};
        RunSearch(engine.search, engine.game, go.limits, reporter);
        TableBestMove(engine.search.hash, engine.game, best, ponder);
    }

    // 3. A "quit" read during the search ends the session without an answer.
    if (!engine.quitting) WriteUciBestMove(engine, best, ponder);
}
