// The search on any position: iterative deepening to depth 3 as "go depth 3"
// runs it. The position must come back as it was, and the best move, if any,
// must be legal. Input: the FEN text, optionally after "opts:XY " where X and
// Y, '0' or '1', switch checks in the quiescence search and history pruning.

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
    if (text.compare(0, 5, "opts:") == 0 && text.size() >= 8) {
        CheckInQuiescence = text[5] == '1';
        HistoryPruning = HistoryReduction = text[6] == '1';
        text.erase(0, 8);
    }
    LoadFen(text.c_str(), SearchPosition);
    Before = SearchPosition;

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
    if (ProbeHashMove(SearchPosition, best) && best != 0 && !IsLegalMove(SearchPosition, best)) {
        char text[5] = "????";
        if (MoveFrom(best) < uint32_t(BoardSquares) && MoveTo(best) < uint32_t(BoardSquares))
            FormatMove(MoveFrom(best), MoveTo(best), text);
        FuzzFailure("the best move is not legal", SearchPosition,
                    std::string(text) + (IsGenerated(SearchPosition, best) ? " (generated)" : ""));
    }
    return 0;
}
