// The search on any position: iterative deepening to depth 3 as "go depth 3"
// runs it. The position must come back as it was, and the best move, if any,
// must be legal and not banned; there is none only when every legal move is
// banned. Input: the FEN text, optionally after "opts:XYB " where X and Y,
// '0' or '1', switch checks in the quiescence search and history pruning,
// and B ('0'..'9') bans that many of the legal moves.

#include "fuzz_support.h"
#include "search/search.h"
#include "shell/engine_state.h"

namespace {

Position SearchPosition;
Position Before;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareFuzzing();
    PollingInput = false;  // nothing is read: the depth alone ends the search
    std::string text = TextOf(data, size);
    CheckInQuiescence = HistoryPruning = HistoryReduction = true;
    int bans = 0;
    if (text.compare(0, 5, "opts:") == 0 && text.size() >= 9) {
        CheckInQuiescence = text[5] == '1';
        HistoryPruning = HistoryReduction = text[6] == '1';
        if (text[7] >= '0' && text[7] <= '9') bans = text[7] - '0';
        text.erase(0, 9);
    }
    LoadFen(text.c_str(), SearchPosition);
    Before = SearchPosition;

    // The legal moves, and the first `bans` of them banned.
    MoveRecord list[MaxGeneratedMoves + 1];
    const int generated = GenerateAll(SearchPosition, list);
    int legal = 0;
    BanList.count = 0;
    for (int i = 0; i < generated; i++) {
        MoveRecord record = list[i];
        if (!MakeMove(record, SearchPosition)) continue;
        UnmakeMove(SearchPosition);
        legal++;
        if (BanList.count < bans) BanList.moves[BanList.count++] = MoveOf(list[i]);
    }

    ResetSearchTables();
    StopFlag = false;
    NodeCount = 0;
    for (int depth = 1; depth <= 3; depth++) {
        RootDepth = depth;
        SearchPosition.Ply = 0;
        const int16_t score = SearchRoot(int8_t(depth), SearchPosition);
        if (score < -MateScore || score > MateScore)
            FuzzFailure("score outside the mate range", SearchPosition, std::to_string(score));
        if (SearchPosition.MoveCount != Before.MoveCount ||
            CurrentKey(SearchPosition) != CurrentKey(Before))
            FuzzFailure("the search left the position changed", SearchPosition, "");
        RequireInvariants(SearchPosition, "after the search");
        if (score >= MateThreshold || score <= -MateThreshold) break;
    }
    Move best = 0;
    ProbeHashMove(SearchPosition, best);
    const bool allBanned = BanList.count == legal;
    // A lone reply to a check is played even when banned.
    const bool loneEvasion = legal == 1 && SideToMoveInCheck(SearchPosition);
    if (best != 0 && IsBanned(best) && !loneEvasion)
        FuzzFailure("the best move is banned", SearchPosition, "");
    BanList.count = 0;
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
