// Staged move picking. The main picker hands out the hash move, captures
// that do not lose material, the two killers, then the quiet moves by
// history with the losing captures behind them; in check, every evasion at
// once. The quiescence picker hands out captures by MVV/LVA and, at its
// first ply, checking moves; in check, the evasion candidates by MVV/LVA,
// whose illegal ones MakeMove refuses.

#include "search/picker.h"

#include "check/check.h"
#include "search/ordering.h"
#include "search/search.h"
#include "search/see.h"
#include "search/transposition.h"

namespace {

enum Stage : uint8_t {
    StageStart = 0,
    StageQuiescenceEvasions = 3,
    StageChecks = 4,
    StageCheckList = 5,  // also: the main picker's evasions
    StageGenerateCaptures = 6,
    StageCaptures = 7,
    StageLosingCaptures = 8,  // quiescence only
    StageKiller1 = 10,
    StageKiller2 = 11,
    StageQuiet = 15,
    StageDone = 16,
};

static_assert(StageQuiet == PickerQuietStage, "the searches ask for the quiet stage by name");

constexpr int32_t QuietScore = -1000;

bool IsKnownStage(uint8_t stage) {
    switch (stage) {
        case StageStart:
        case StageQuiescenceEvasions:
        case StageChecks:
        case StageCheckList:
        case StageGenerateCaptures:
        case StageCaptures:
        case StageLosingCaptures:
        case StageKiller1:
        case StageKiller2:
        case StageQuiet - 1:
        case StageQuiet:
        case StageDone:
            return true;
        default:
            return false;
    }
}

// The counts and the cursor within the lists the stage walks (the others may
// be unset). The lists lie side by side in the picker, so an overrun lands in
// the next one, where the address sanitizer does not look.
bool WithinLists(const MovePicker& p) {
    switch (p.stage) {
        case StageCaptures:
        case StageLosingCaptures:
            return p.cursor + p.capturesLeft <= PickerCaptureRoom;
        case StageKiller1:
        case StageKiller2:
        case StageQuiet - 1:
            return p.badCount <= PickerCaptureRoom;
        case StageQuiescenceEvasions:
        case StageCheckList:
        case StageQuiet:
            return p.cursor <= p.movesLeft && p.movesLeft <= PickerMoveRoom;
        default:
            return IsKnownStage(p.stage);
    }
}

// Highest score first, equal scores in generation order; lists are short, so
// a plain insertion sort.
void SortByScore(MoveRecord* list, int count) {
    for (int i = 1; i < count; i++) {
        const MoveRecord r = list[i];
        int j = i - 1;
        while (j >= 0 && list[j].score < r.score) {
            list[j + 1] = list[j];
            j--;
        }
        list[j + 1] = r;
    }
}

bool SameSquares(const MoveRecord& r, uint32_t from, uint32_t to) {
    return r.from == from && r.to == to;
}

// A killer is handed out only when it fits the position as a quiet move and
// is not the hash move.
bool UsableKiller(const MovePicker& picker, const Position& pos, const MoveRecord& killer) {
    return pos.Board[killer.to] == 0 && IsPseudoLegal(pos, killer) &&
           !(picker.hasHashMove && MoveOf(killer) == picker.hashMove);
}

// Quiescence capture stages: good captures by MVV/LVA, then the few with a
// non-positive score that the exchange does not lose.
Move NextQuiescenceCapture(MovePicker& p, Position& pos) {
    if (p.stage == StageGenerateCaptures) {
        p.capturesLeft = uint8_t(GenerateCaptures(pos, p.captures));
        QUILLON_ASSERT(p.capturesLeft <= MaxGeneratedCaptures);
        if (p.capturesLeft) ScoreCapturesMvvLva(pos, p.captures, p.capturesLeft);
        p.cursor = 0;
        p.stage = StageCaptures;
    }
    if (p.stage == StageCaptures) {
        if (p.capturesLeft == 0) return 0;
        if (p.captures[p.cursor].score > 0) {
            p.capturesLeft--;
            return MoveOf(p.captures[p.cursor++]);
        }
        p.stage = StageLosingCaptures;
    }
    while (p.capturesLeft > 0 && p.captures[p.cursor].score < 0) {
        MoveRecord& capture = p.captures[p.cursor++];
        p.capturesLeft--;
        StaticExchange(pos, capture);
        if (capture.score >= 0) return MoveOf(capture);
    }
    return 0;
}

// The quiet list, with the losing captures behind it; the hash move and the
// killers already handed out are skipped.
inline Move NextQuietMove(MovePicker& p) {
    if (p.hasHashMove) {
        while (p.cursor < p.movesLeft) {
            const MoveRecord& r = p.moves[p.cursor];
            if (MoveOf(r) != p.hashMove && !SameSquares(r, p.killer1From, p.killer1To) &&
                !SameSquares(r, p.killer2From, p.killer2To))
                break;
            p.cursor++;
        }
    }
    if (p.cursor < p.movesLeft) return MoveOf(p.moves[p.cursor++]);
    p.stage = StageDone;
    return 0;
}

}  // namespace

void ScoreCapturesMvvLva(const Position& pos, MoveRecord* list, int count) {
    for (int i = 0; i < count; i++) {
        MoveRecord& r = list[i];
        r.score = r.captured
                      ? 13 * OrderValue(r.captured, r.to) - OrderValue(pos.Board[r.from], r.from)
                      : QuietScore;
    }
    SortByScore(list, count);
}

void OrderEvasions(MovePicker& p, const SearchState& state, Position& pos) {
    const int n = p.movesLeft;
    MoveRecord* moves = p.moves;
    // 1. MVV/LVA on every evasion; quiet moves sink to the end.
    ScoreCapturesMvvLva(pos, moves, n);
    // 2. Captures that MVV/LVA does not favour are judged by exchange.
    int i = 0;
    while (i < n && moves[i].score >= 0) i++;
    if (i < n) {
        for (int k = i; k < n; k++) {
            if (pos.Board[moves[k].to])
                StaticExchange(pos, moves[k]);
            else
                moves[k].score = QuietScore;
        }
        SortByScore(moves + i, n - i);
    }
    // 3. The captures that do not lose, by MVV/LVA again.
    int j = 0;
    while (j < n && moves[j].score >= 0) j++;
    ScoreCapturesMvvLva(pos, moves, j);
    // 4. Bands: good captures, killers, losing captures, quiet moves by history.
    QUILLON_ASSERT(pos.Ply < MaxPly);
    const MoveRecord* killers = state.ordering.killers[pos.Ply];
    for (int k = 0; k < n; k++) {
        MoveRecord& r = moves[k];
        if (r.score >= 0) {
            r.score += 4000;
        } else if (r.score != QuietScore) {
            r.score -= 28000;
        } else if (SameSquares(killers[0], r.from, r.to) || SameSquares(killers[1], r.from, r.to)) {
            r.score = 4;
        } else {
            r.score = int32_t(StatsOf(state.ordering, MoveOf(r)).history) - 24000;
        }
    }
    // 5.
    SortByScore(moves, n);
    p.cursor = 0;
}

int16_t InitPicker(MovePicker& p, const SearchState& state, Position& pos, int8_t depth,
                   int16_t alpha, int16_t beta, bool allowCutoff) {
    // 1. Clear the picker (the lists are always filled before they are read).
    p.stage = StageStart;
    p.capturesLeft = p.movesLeft = p.cursor = p.badCount = 0;
    p.hasHashMove = p.singleReply = 0;
    p.hashMove = 0;
    p.killer1From = p.killer1To = p.killer2From = p.killer2To = 0;
    // 2. The hash table may settle the node or suggest a move.
    const HashCutoff hash = HashCutoffTest(state.hash, pos, depth, alpha, beta);
    if (hash.cutoff && allowCutoff) return hash.value;
    if (hash.hasMove) {
        p.hashMove = hash.move;
        p.hasHashMove = 1;
    }
    // 3.-4. In check, every evasion at once.
    if (!SideToMoveInCheck(pos)) return NoHashCutoff;
    p.movesLeft = uint8_t(GenerateEvasions(pos, p.moves));
    QUILLON_ASSERT(p.movesLeft <= PickerMoveRoom);
    p.singleReply = p.movesLeft == 1;
    OrderEvasions(p, state, pos);
    return NoHashCutoff;
}

namespace {

// The quiet moves as the modern profile orders them: history and
// continuation history, the counter move to the previous move first.
[[gnu::always_inline]] inline int RankQuietMovesModern(MovePicker& p, const SearchState& state,
                                                       Position& pos) {
    const int quiet = GenerateNonCaptures(pos, p.moves);
    const uint32_t previous = PieceTargetOf(pos, pos.MoveStack[pos.MoveCount]);
    const Move counter = previous < PieceTargets ? state.modern.counterMoves[previous] : 0;
    for (int i = 0; i < quiet; i++) {
        MoveRecord& r = p.moves[i];
        const Move m = MoveOf(r);
        r.score = ModernQuietScore(state, pos, m) + (m == counter ? 3 * HistoryMax : 0);
    }
    SortByScore(p.moves, quiet);
    return quiet;
}

// The quiet moves as the classic profile orders them: by history, the moves
// without history in generation order behind the others.
[[gnu::always_inline]] inline int RankQuietMovesClassic(MovePicker& p, const SearchState& state,
                                                        Position& pos) {
    const int quiet = GenerateNonCaptures(pos, p.moves);
    // Each move's history read once, not at every comparison. Moves without
    // history stay in generation order behind the others, as the stable sort
    // would leave them, so only the others are sorted.
    MoveRecord unranked[MaxGeneratedMoves];
    int ranked = 0, unrankedCount = 0;
    for (int i = 0; i < quiet; i++) {
        MoveRecord r = p.moves[i];
        r.score = int32_t(StatsOf(state.ordering, MoveOf(r)).history);
        if (r.score != 0)
            p.moves[ranked++] = r;
        else
            unranked[unrankedCount++] = r;
    }
    SortByScore(p.moves, ranked);
    for (int i = 0; i < unrankedCount; i++) p.moves[ranked + i] = unranked[i];
    return quiet;
}

// Every stage but the quiet list, kept out of line so that the calls that find
// the picker in its quiet list (most of them) pay for none of its frame.
template <SearchProfile Profile>
[[gnu::noinline]] Move NextStagedMove(MovePicker& p, const SearchState& state, Position& pos) {
    QUILLON_ASSERT(WithinLists(p));
    switch (p.stage) {
        case StageStart:
            p.stage = SideToMoveInCheck(pos) ? StageCheckList : StageGenerateCaptures;
            if (p.hasHashMove) return p.hashMove;
            return NextStagedMove<Profile>(p, state, pos);

        case StageCheckList:
            while (p.cursor < p.movesLeft) {
                const Move m = MoveOf(p.moves[p.cursor++]);
                if (!(p.hasHashMove && m == p.hashMove)) return m;
            }
            return 0;

        case StageGenerateCaptures:
            p.capturesLeft = uint8_t(GenerateCaptures(pos, p.captures));
            QUILLON_ASSERT(p.capturesLeft <= MaxGeneratedCaptures);
            ScoreCapturesMvvLva(pos, p.captures, p.capturesLeft);
            p.cursor = 0;
            p.stage = StageCaptures;
            [[fallthrough]];

        case StageCaptures:
            // Losing captures wait behind the quiet moves; the hash move is not skipped.
            while (p.capturesLeft > 0) {
                MoveRecord& capture = p.captures[p.cursor++];
                p.capturesLeft--;
                if (IsGoodCapture(pos, capture)) return MoveOf(capture);
                p.badCaptures[p.badCount++] = capture;
            }
            p.stage = StageKiller1;
            [[fallthrough]];

        case StageKiller1: {
            QUILLON_ASSERT(pos.Ply < MaxPly);
            p.stage = StageKiller2;
            const MoveRecord& killer = state.ordering.killers[pos.Ply][0];
            if (UsableKiller(p, pos, killer)) {
                p.killer1From = killer.from;
                p.killer1To = killer.to;
                return MoveOf(killer);
            }
        }
            [[fallthrough]];

        case StageKiller2: {
            p.stage = StageQuiet - 1;
            const MoveRecord& killer = state.ordering.killers[pos.Ply][1];
            if (UsableKiller(p, pos, killer)) {
                p.killer2From = killer.from;
                p.killer2To = killer.to;
                return MoveOf(killer);
            }
        }
            [[fallthrough]];

        case StageQuiet - 1: {
            const int quiet = Profile == ProfileModern ? RankQuietMovesModern(p, state, pos)
                                                       : RankQuietMovesClassic(p, state, pos);
            QUILLON_ASSERT(quiet + p.badCount <= PickerMoveRoom);
            for (int i = 0; i < p.badCount; i++) p.moves[quiet + i] = p.badCaptures[i];
            p.movesLeft = uint8_t(quiet + p.badCount);
            p.cursor = 0;
            p.stage = StageQuiet;
        }
            [[fallthrough]];

        case StageQuiet:
            return NextQuietMove(p);

        default:
            QUILLON_ASSERT(p.stage == StageDone);
            return 0;
    }
}

}  // namespace

template <SearchProfile Profile>
Move NextMove(MovePicker& p, const SearchState& state, Position& pos) {
    QUILLON_ASSERT(WithinLists(p));
    if (p.stage == StageQuiet) return NextQuietMove(p);
    return NextStagedMove<Profile>(p, state, pos);
}
template Move NextMove<ProfileClassic>(MovePicker&, const SearchState&, Position&);
template Move NextMove<ProfileModern>(MovePicker&, const SearchState&, Position&);

Move PeekNextMove(const MovePicker& p) {
    switch (p.stage) {
        case StageCaptures:
            return p.capturesLeft > 0 ? MoveOf(p.captures[p.cursor]) : 0;
        case StageCheckList:
        case StageQuiet:
            return p.cursor < p.movesLeft ? MoveOf(p.moves[p.cursor]) : 0;
        default:
            return 0;
    }
}

void InitQuiescencePicker(MovePicker& p, const SearchState& state, Position& pos,
                          bool allowChecks) {
    p.checksEnabled = 0;
    p.cursor = 0;
    p.capturesLeft = 0;
    if (SideToMoveInCheck(pos)) {
        p.stage = StageQuiescenceEvasions;
        // MakeMove refuses the illegal ones, so only those played are tested.
        p.movesLeft = uint8_t(GenerateEvasionCandidates(pos, p.moves));
        QUILLON_ASSERT(p.movesLeft <= PickerMoveRoom);
        ScoreCapturesMvvLva(pos, p.moves, p.movesLeft);
        return;
    }
    p.checksEnabled = state.options.checkInQuiescence && allowChecks;
    p.stage = StageGenerateCaptures;
}

Move NextQuiescenceMove(MovePicker& p, Position& pos) {
    QUILLON_ASSERT(WithinLists(p));
    if (p.stage == StageQuiescenceEvasions)
        return p.cursor < p.movesLeft ? MoveOf(p.moves[p.cursor++]) : 0;
    if (p.stage != StageCheckList && p.stage != StageChecks) {
        const Move m = NextQuiescenceCapture(p, pos);
        if (m || !p.checksEnabled) return m;
        p.stage = StageChecks;
    }
    if (p.stage == StageChecks) {
        p.movesLeft = uint8_t(GenerateChecks(pos, p.moves));
        QUILLON_ASSERT(p.movesLeft <= PickerMoveRoom);
        p.cursor = 0;
        p.stage = StageCheckList;
    }
    return p.cursor < p.movesLeft ? MoveOf(p.moves[p.cursor++]) : 0;
}
