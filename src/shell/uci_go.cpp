// UCI's "go": a book move, or a search of the game position reported in
// "info depth ..." lines, then "bestmove". The input is read during the
// search: "stop", "quit", "isready" and "ponderhit".

#include <cstdio>
#include <cstring>

#include "position/piece_values.h"
#include "search/clock.h"
#include "shell/platform.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"

namespace {

// The move searched is shown once the search has run this long: a front end
// then sees that a long iteration is under way.
constexpr int64_t CurrentMoveDelay = 1000;

// What the reports of one search need: the engine, the lines to show, and
// the last completed depth's best lines for a weakened choice.
struct UciSearch {
    Engine* engine;
    int32_t shownLines;
    StrengthLines lines;
};

PollAnswer PollUci(void* context) {
    return PollDuringSearch(*static_cast<UciSearch*>(context)->engine);
}

void Idle(void*) {
    SleepMilliseconds(1);
}

void Append(char* text, size_t capacity, const char* more) {
    std::strncat(text, more, capacity - std::strlen(text) - 1);
}

void AppendMove(char* text, size_t capacity, Move move) {
    char word[6] = {' '};
    FormatMove(MoveFrom(move), MoveTo(move), word + 1);
    Append(text, capacity, word);
}

// "info depth D seldepth S multipv K score ... nodes N nps N hashfull H
// tbhits 0 time T [pv ...]": one line of one iteration.
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
        Append(text, sizeof text, " pv");
        for (int i = 0; i < report.pv.legal; i++) AppendMove(text, sizeof text, report.pv.moves[i]);
    }
    Append(text, sizeof text, "\n");
    WriteChannel(engine.channel, text);
}

// Completed iterations only: an interrupted one has no score to show.
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
    AppendMove(text, sizeof text, move);
    char tail[32];
    std::snprintf(tail, sizeof tail, " currmovenumber %d\n", number);
    Append(text, sizeof text, tail);
    WriteChannel(engine.channel, text);
}

bool IsLegalMove(Position& pos, Move move) {
    if (move == 0) return false;
    MoveRecord record = RecordOfMove(pos, move);
    if (!IsPseudoLegal(pos, record) || !MakeMove(record, pos)) return false;
    UnmakeMove(pos);
    return true;
}

// The legal moves that the limits let the root play, at most `capacity`;
// their count (which may exceed the capacity).
int AllowedMoves(Position& pos, const SearchLimits& limits, Move* moves, int capacity) {
    MoveRecord list[MaxGeneratedMoves];
    const int generated = GenerateAll(pos, list);
    int count = 0;
    for (int i = 0; i < generated; i++) {
        const Move move = MoveOf(list[i]);
        if (!IsLegalMove(pos, move)) continue;
        bool listed = limits.searchMoveCount == 0;
        for (int j = 0; j < limits.searchMoveCount && !listed; j++)
            listed = limits.searchMoves[j] == move;
        if (!listed) continue;
        if (count < capacity) moves[count] = move;
        count++;
    }
    return count;
}

// "searchmoves" keeps only its legal moves; none at all restricts nothing.
void KeepLegalSearchMoves(Position& pos, SearchLimits& limits) {
    int kept = 0;
    for (int i = 0; i < limits.searchMoveCount; i++) {
        const Move move = limits.searchMoves[i];
        bool again = false;
        for (int j = 0; j < kept && !again; j++) again = limits.searchMoves[j] == move;
        if (!again && IsLegalMove(pos, move)) limits.searchMoves[kept++] = move;
    }
    limits.searchMoveCount = kept;
}

// A front end always gets a legal move while there is one.
void WriteUciBestMove(Engine& engine, Move best, Move ponder) {
    Position& pos = engine.game;
    if (!IsLegalMove(pos, best)) {
        Move any = 0;
        AllowedMoves(pos, SearchLimits{}, &any, 1);
        best = any;
        ponder = 0;
    }
    if (best == 0) {
        WriteChannel(engine.channel, "bestmove (none)\n");
        return;
    }
    char text[32] = "bestmove";
    AppendMove(text, sizeof text, best);
    if (ponder != 0) {
        Append(text, sizeof text, " ponder");
        AppendMove(text, sizeof text, ponder);
    }
    Append(text, sizeof text, "\n");
    WriteChannel(engine.channel, text);
}

// The only move there is needs no search: its score is the quiescence value
// after it, shown in one line. "go infinite" and "go ponder" still wait for
// "stop" (or the ponderhit) before the answer.
Move AnswerLoneMove(Engine& engine, Position& game, Move move, bool waiting) {
    SearchState& state = engine.search;
    state.nodes = 0;
    MoveRecord record = RecordOfMove(game, move);
    MakeMove(record, game);
    int32_t score = -QuiescenceValue(state, game);
    UnmakeMove(game);
    // The mate, if any, is one ply further from the root.
    if (IsMateScore(score)) score += score > 0 ? -1 : 1;
    IterationReport report{};
    report.completed = true;
    report.depth = 1;
    report.selDepth = 1;
    report.line = 1;
    report.score = int16_t(score);
    report.bound = ScoreExact;
    report.nodes = state.nodes;
    report.hashFull = HashFullPerMille(state.hash, state.profile == ProfileModern);
    report.elapsed = int32_t(ClockMilliseconds() - engine.searchStart);
    report.pv.found = true;
    report.pv.listed = report.pv.legal = 1;
    report.pv.moves[0] = move;
    WriteUciInfo(engine, report);
    while (waiting && !engine.quitting && PollDuringSearch(engine) == PollContinue)
        SleepMilliseconds(1);
    return move;
}

// A weakened search: no deeper and no longer than the rating's plan, and
// enough lines for a choice; the clock still applies as it is.
void WeakenLimits(SearchLimits& limits, int32_t elo) {
    const StrengthPlan plan = PlanStrength(elo);
    if (limits.maxDepth > plan.maxDepth) limits.maxDepth = plan.maxDepth;
    if (limits.nodes == 0 || limits.nodes > plan.nodes) limits.nodes = plan.nodes;
    if (limits.lines < StrengthLineCount) limits.lines = StrengthLineCount;
}

}  // namespace

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

void RunUciGo(Engine& engine, char* const* words, int count) {
    // 1. The first "go" without a position searches the start position.
    engine.searchStart = ClockMilliseconds();
    PrepareEngine(engine);
    Position& game = GamePosition(engine);
    UciGoLimits go = ReadUciGoLimits(words, count, game.SideToMove);
    KeepLegalSearchMoves(game, go.limits);
    go.limits.lines = engine.lines;

    // 2. A lone move is played at once; the book answers at once too, unless
    //    the answer must wait for "stop" or "ponderhit", or the front end
    //    analyses (several lines, chosen moves, analysis mode).
    SearchAnswer answer{};
    engine.infinite = go.infinite;
    Move lone = 0;
    const bool analysing = engine.analysing || engine.lines > 1 || go.limits.searchMoveCount > 0;
    if (AllowedMoves(game, go.limits, &lone, 1) == 1) {
        answer.best = AnswerLoneMove(engine, game, lone, go.limits.ponder);
    } else if (go.limits.ponder || analysing || !ChooseBookAnswer(engine, answer)) {
        UciSearch search{&engine, engine.lines, StrengthLines{}};
        if (engine.limitStrength) WeakenLimits(go.limits, engine.elo);
        const SearchReporter reporter{&search, PollUci, ReportUciIteration, Idle,
                                      ReportUciRootMove};
        answer = RunSearch(engine.search, game, go.limits, reporter);
        if (engine.limitStrength) {
            const Move chosen = ChooseWeakerMove(search.lines, engine.elo);
            if (chosen != 0 && chosen != answer.best) {
                answer.best = chosen;
                answer.ponder = 0;
            }
        }
    }
    engine.infinite = false;

    // 3. A "quit" read during the search ends the session without an answer.
    if (!engine.quitting) WriteUciBestMove(engine, answer.best, answer.ponder);
}
