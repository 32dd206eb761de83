// LoadFen on any text, then every generator, every move made and unmade, and
// the evaluation, with the position's incremental fields checked after each
// step. Input: the FEN text up to the first line feed; each byte after it
// picks one of the legal moves to play next, so the fuzzer also walks games.

#include <cstring>

#include "check/check.h"
#include "eval/eval.h"
#include "fuzz_support.h"

namespace {

Position FuzzPosition;

bool SameSquares(const Position& a, const Position& b) {
    return std::memcmp(a.Board, b.Board, sizeof a.Board) == 0 &&
           std::memcmp(a.PieceSquare, b.PieceSquare, sizeof a.PieceSquare) == 0 &&
           a.SideToMove == b.SideToMove && a.MoveCount == b.MoveCount &&
           CurrentKey(a) == CurrentKey(b);
}

// Every list entry must be a playing square pair with the mover's piece on it.
void RequireWellFormed(const Position& pos, const MoveRecord* list, int count, int bound,
                       const char* generator) {
    if (count < 0 || count > bound) FuzzFailure("list longer than its bound", pos, generator);
    for (int i = 0; i < count; i++) {
        const MoveRecord& r = list[i];
        if (r.from >= uint32_t(BoardSquares) || r.to >= uint32_t(BoardSquares) ||
            !SquareOnBoard[r.from] || !SquareOnBoard[r.to] || r.from == r.to)
            FuzzFailure("move off the board", pos, generator);
        const uint32_t piece = pos.Board[r.from];
        if (piece == 0 || SideOfPiece(piece) != pos.SideToMove)
            FuzzFailure("move of a piece the side does not have", pos, generator);
    }
}

// Generates everything for the position and plays each move once; returns the
// legal moves in `legal`.
int ExamineAndListLegal(Position& pos, MoveRecord* legal) {
    static Position before;
    before = pos;
    RequireInvariants(pos, "before generation");
    (void)Evaluate(pos);

    MoveRecord list[MaxGeneratedMoves + 1];
    const int captures = GenerateCaptures(pos, list);
    RequireWellFormed(pos, list, captures, MaxGeneratedCaptures, "GenerateCaptures");
    const int quiet = GenerateNonCaptures(pos, list);
    RequireWellFormed(pos, list, quiet, MaxGeneratedMoves, "GenerateNonCaptures");
    MoveRecord checks[MaxCheckingMoves + 1];
    const int checking = GenerateChecks(pos, checks);
    RequireWellFormed(pos, checks, checking, MaxCheckingMoves, "GenerateChecks");

    const int all = GenerateAll(pos, list);
    RequireWellFormed(pos, list, all, MaxGeneratedMoves, "GenerateAll");
    const bool reachable = PlacementIsReachable(pos);
    int legalCount = 0;
    for (int i = 0; i < all; i++) {
        MoveRecord record = list[i];
        if (reachable && !IsPseudoLegal(pos, record))
            FuzzFailure("generated move not pseudo-legal", pos, "");
        if (!MakeMove(record, pos)) {
            if (!SameSquares(pos, before))
                FuzzFailure("refused move changed the position", pos, "");
            continue;
        }
        RequireInvariants(pos, "after MakeMove");
        (void)Evaluate(pos);
        (void)DetectRepetition(pos);
        UnmakeMove(pos);
        if (!SameSquares(pos, before)) FuzzFailure("UnmakeMove did not restore", pos, "");
        legal[legalCount++] = list[i];
    }

    if (SideToMoveInCheck(pos)) {
        MoveRecord evasions[MaxEvasions + 1];
        const int count = GenerateEvasions(pos, evasions);
        RequireWellFormed(pos, evasions, count, MaxEvasions, "GenerateEvasions");
        if (!SameSquares(pos, before))
            FuzzFailure("GenerateEvasions changed the position", pos, "");
        for (int i = 0; i < count; i++) {
            MoveRecord record = evasions[i];
            if ((reachable && !IsPseudoLegal(pos, record)) || !MakeMove(record, pos))
                FuzzFailure("an evasion is not legal", pos, "");
            UnmakeMove(pos);
        }
        // Where play can lead, the evasions are exactly the legal moves.
        if (PositionIsReachable(pos)) {
            if (count != legalCount) FuzzFailure("evasions differ from the legal moves", pos, "");
            for (int i = 0; i < count; i++)
                if (!IsListed(evasions[i].from, evasions[i].to, legal, legalCount))
                    FuzzFailure("an evasion is not among the legal moves", pos, "");
        }
    }
    RequireInvariants(pos, "after generation");
    return legalCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareFuzzing();
    const std::string text = TextOf(data, size);
    const size_t lineEnd = text.find('\n');
    const std::string fen = text.substr(0, lineEnd);
    if (!LoadFen(fen.c_str(), FuzzPosition)) return 0;  // a placement no game reaches

    MoveRecord legal[MaxGeneratedMoves + 1];
    int count = ExamineAndListLegal(FuzzPosition, legal);
    if (lineEnd == std::string::npos) return 0;
    // The rest picks a game: at most 64 plies, each checked like the root.
    int played = 0;
    for (size_t i = lineEnd + 1; i < text.size() && played < 64 && count > 0; i++, played++) {
        MoveRecord record = legal[uint8_t(text[i]) % count];
        if (!MakeMove(record, FuzzPosition)) FuzzFailure("legal move refused", FuzzPosition, "");
        count = ExamineAndListLegal(FuzzPosition, legal);
    }
    while (played-- > 0) UnmakeMove(FuzzPosition);
    RequireInvariants(FuzzPosition, "after taking the game back");
    return 0;
}
