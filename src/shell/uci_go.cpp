// UCI's "go": a book move, or a search of the game position reported in
// "info depth ..." lines, then "bestmove". The input is read during the
// search: "stop", "quit", "isready" and "ponderhit".

#include "search/clock.h"
#include "shell/platform.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"

namespace {

PollAnswer PollUci(void* context) {
    return PollDuringSearch(*static_cast<UciSearch*>(context)->engine);
}

void Idle(void*) {
    SleepMilliseconds(1);
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
    AppendUciMove(text, sizeof text, best);
    if (ponder != 0) {
        AppendUciText(text, sizeof text, " ponder");
        AppendUciMove(text, sizeof text, ponder);
    }
    AppendUciText(text, sizeof text, "\n");
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
