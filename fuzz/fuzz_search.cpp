// The search on any position: iterative deepening to depth 3 through the
// same entry point as "go depth 3". The position must come back as it was, and the best move, if
// any, must be legal and not banned; there is none only when every legal move is banned. Input: the
// FEN text, optionally after "opts:XYB " where X and Y, '0' or '1', switch checks in the quiescence
// search and history pruning, and B ('0'..'9') bans that many of the legal moves.

#include "fuzz_support.h"
#include "search/search.h"
#include "search/transposition.h"

namespace {

Position SearchPosition;
Position Before;
SearchState State;

// After every iteration: a score in range, the position as it was, and a
// line that starts with the iteration's best move.
void CheckIteration(void*, const IterationReport& report) {
    Position& pos = SearchPosition;
    if (report.completed && (report.score < -MateScore || report.score > MateScore))
        FuzzFailure("score outside the mate range", pos, std::to_string(report.score));
    if (pos.MoveCount != Before.MoveCount || CurrentKey(pos) != CurrentKey(Before))
        FuzzFailure("the search left the position changed", pos, "");
    RequireInvariants(pos, "after the search");
    Move best = 0;
    if (report.completed && report.pv.listed > 0 && ProbeHashMove(State.hash, pos, best) &&
        best != report.pv.moves[0])
        FuzzFailure("the line does not start with the best move", pos, "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareFuzzing();
    if (!State.hash.buckets && !InitSearchState(State)) __builtin_trap();
    SearchOptions& options = State.options;
    BanList& banList = State.bans;
    std::string text = TextOf(data, size);
    options.checkInQuiescence = options.historyPruning = options.historyReduction = true;
    int bans = 0;
    if (text.compare(0, 5, "opts:") == 0 && text.size() >= 9) {
        options.checkInQuiescence = text[5] == '1';
        options.historyPruning = options.historyReduction = text[6] == '1';
        if (text[7] >= '0' && text[7] <= '9') bans = text[7] - '0';
        text.erase(0, 9);
    }
    if (!LoadFen(text.c_str(), SearchPosition)) return 0;  // a placement no game reaches
    Before = SearchPosition;

    // The legal moves, and the first `bans` of them banned.
    MoveRecord list[MaxGeneratedMoves + 1];
    const int generated = GenerateAll(SearchPosition, list);
    int legal = 0;
    banList.count = 0;
    for (int i = 0; i < generated; i++) {
        MoveRecord record = list[i];
        if (!MakeMove(record, SearchPosition)) continue;
        UnmakeMove(SearchPosition);
        legal++;
        if (banList.count < bans) banList.moves[banList.count++] = MoveOf(list[i]);
    }

    // Nothing is polled: the depth alone ends the search.
    const SearchReporter reporter{nullptr, nullptr, CheckIteration, nullptr, nullptr};
    SearchLimits limits;
    limits.maxDepth = 3;
    const SearchAnswer answer = RunSearch(State, SearchPosition, limits, reporter);
    Move best = 0;
    ProbeHashMove(State.hash, SearchPosition, best);
    if (answer.best != 0 && answer.best != best)
        FuzzFailure("the answer is not the table's move", SearchPosition, "");
    const bool allBanned = banList.count == legal;
    // A lone reply to a check is played even when banned.
    const bool loneEvasion = legal == 1 && SideToMoveInCheck(SearchPosition);
    if (best != 0 && IsBanned(banList, best) && !loneEvasion)
        FuzzFailure("the best move is banned", SearchPosition, "");
    banList.count = 0;
    // Evasions come from their own generator; GenerateAll agrees with it in
    // positions that play can reach only.
    if (best == 0 && !allBanned && PositionIsReachable(SearchPosition))
        FuzzFailure("no best move, though an unbanned legal move exists", SearchPosition, "");
    if (best != 0 && !IsLegalMove(SearchPosition, best)) {
        char text[5] = "????";
        if (MoveFrom(best) < uint32_t(BoardSquares) && MoveTo(best) < uint32_t(BoardSquares))
            FormatMove(MoveFrom(best), MoveTo(best), text);
        FuzzFailure("the best move is not legal", SearchPosition,
                    std::string(text) + (IsGenerated(SearchPosition, best) ? " (generated)" : ""));
    }
    return 0;
}
