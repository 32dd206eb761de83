#include "search/picker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "check/check.h"
#include "position/position.h"
#include "search/ordering.h"
#include "search/search.h"
#include "search/search_test_support.h"
#include "search/transposition.h"
#include "support/reference_rules.h"

namespace {

std::string Text(Move m) {
    char text[5];
    FormatMove(MoveFrom(m), MoveTo(m), text);
    return text;
}

Move Code(const char* text) {
    return MoveOf(ParseMoveString(text));
}

bool SameSquaresAs(const MoveRecord& r, const char* text) {
    return MoveOf(r) == Code(text);
}

std::vector<std::string> AllMoves(MovePicker& picker, const SearchState& state, Position& pos) {
    std::vector<std::string> out;
    while (const Move m = NextMove(picker, state, pos)) out.push_back(Text(m));
    return out;
}

MovePicker& Picker() {
    static MovePicker picker;
    return picker;
}

// Red: rook b4, cannon i2 behind its own pawn i3, king e0. Black: knight b6
// (undefended), rook i7, pawns e5 and e4 (the crossed one defended by the
// other), king d9.
const char* const Captures = "3k5/9/8r/1n7/4p4/1R2p4/8P/8C/9/4K4 w - - 0 1";

TEST(Picker, StagesInOrder) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(Captures, pos);
    ResetSearchTables(state);
    StatsOf(state.ordering, Code("b4b5")).history = 100;
    StatsOf(state.ordering, Code("e0d0")).history = 50;
    state.ordering.killers[0][0] = ParseMoveString("i3i4");
    state.ordering.killers[0][1] = ParseMoveString("b4b6");  // its target is occupied: no killer
    MovePicker& p = Picker();
    ASSERT_EQ(InitPicker(p, state, pos, 3, -MateScore, MateScore), NoHashCutoff);
    const std::vector<std::string> moves = AllMoves(p, state, pos);
    ASSERT_GE(moves.size(), 6u);
    // Good captures by MVV/LVA: cannon takes rook (150), rook takes knight (66).
    EXPECT_EQ(moves[0], "i2i7");
    EXPECT_EQ(moves[1], "b4b6");
    EXPECT_EQ(moves[2], "i3i4");  // killer 1
    // Quiet moves by falling history; without a hash move the killer comes again.
    EXPECT_EQ(moves[3], "b4b5");
    EXPECT_EQ(moves[4], "e0d0");
    EXPECT_EQ(std::count(moves.begin(), moves.end(), "i3i4"), 2);
    // The losing capture of the defended pawn comes last.
    EXPECT_EQ(moves.back(), "b4e4");
    // Every pseudo-legal move appears.
    EXPECT_EQ(moves.size(), RefPseudoLegalMoves(pos).size() + 1);
}

TEST(Picker, HashMoveFirstAndNotRepeated) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(Captures, pos);
    ResetSearchTables(state);
    state.ordering.killers[0][0] = ParseMoveString("i3i4");
    state.ordering.killers[0][1] = ParseMoveString("b4b5");
    StoreHash(state.hash, pos, Code("e0f0"), 20, 5, BoundLower);
    MovePicker& p = Picker();
    ASSERT_EQ(InitPicker(p, state, pos, 3, -MateScore, 50), NoHashCutoff);  // 20 < beta
    const std::vector<std::string> moves = AllMoves(p, state, pos);
    EXPECT_EQ(moves[0], "e0f0");
    EXPECT_EQ(moves[1], "i2i7");
    EXPECT_EQ(moves[2], "b4b6");
    EXPECT_EQ(moves[3], "i3i4");
    EXPECT_EQ(moves[4], "b4b5");
    // With a hash move the quiet stage skips it and both killers.
    for (const char* once : {"e0f0", "i3i4", "b4b5"})
        EXPECT_EQ(std::count(moves.begin(), moves.end(), once), 1) << once;
    EXPECT_EQ(moves.size(), RefPseudoLegalMoves(pos).size());

    // A killer equal to the hash move is not handed out twice.
    state.ordering.killers[0][0] = ParseMoveString("e0f0");
    ASSERT_EQ(InitPicker(p, state, pos, 3, -MateScore, 50), NoHashCutoff);
    const std::vector<std::string> again = AllMoves(p, state, pos);
    EXPECT_EQ(std::count(again.begin(), again.end(), "e0f0"), 1);
}

TEST(Picker, HashCutoffAtInit) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(Captures, pos);
    ResetSearchTables(state);
    StoreHash(state.hash, pos, Code("e0f0"), 33, 5, BoundExact);
    MovePicker& p = Picker();
    EXPECT_EQ(InitPicker(p, state, pos, 5, -100, 100), 33);
    EXPECT_EQ(InitPicker(p, state, pos, 6, -100, 100), NoHashCutoff);  // too shallow: a hash move
    EXPECT_EQ(NextMove(p, state, pos), Code("e0f0"));
}

// Red king e0 in check from the rook on e5: the rook on a5 can take it, the
// cannon on c2 can block on e2, the king can step aside.
// Quiet moves come by falling history, equal histories (most often none) in
// generation order: the order of a stable sort of the generated list.
TEST(Picker, QuietMovesInStableHistoryOrder) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    std::mt19937 rng(5);
    for (const char* fen : {StartFen, "2bak4/4a4/4b4/2R1N4/2n6/2p3C2/9/4B4/4A4/3AK1B2 b - - 0 1"}) {
        for (int round = 0; round < 20; round++) {
            LoadFen(fen, pos);
            ResetSearchTables(state);
            MoveRecord quiet[MaxGeneratedMoves + 1];
            const int n = GenerateNonCaptures(pos, quiet);
            // Some moves without history, the others drawn from a few values, so
            // that ties occur among both.
            for (int i = 0; i < n; i++) {
                const uint32_t h = rng() % 3 == 0 ? 0 : 1 + rng() % (1 + round % 4 * 20);
                StatsOf(state.ordering, MoveOf(quiet[i])).history = h;
            }
            std::vector<Move> expected;
            for (int i = 0; i < n; i++) expected.push_back(MoveOf(quiet[i]));
            std::stable_sort(expected.begin(), expected.end(), [&](Move a, Move b) {
                return StatsOf(state.ordering, a).history > StatsOf(state.ordering, b).history;
            });
            MovePicker& p = Picker();
            ASSERT_EQ(InitPicker(p, state, pos, 3, -MateScore, MateScore), NoHashCutoff);
            std::vector<Move> quietOut;
            while (const Move m = NextMove(p, state, pos))
                if (pos.Board[MoveTo(m)] == 0) quietOut.push_back(m);
            EXPECT_EQ(quietOut, expected) << fen << " round " << round;
        }
    }
}

// The search fetches the hash bucket of the move the picker will name next.
// A peeked move must be one the node hands out (a losing capture later, a
// hash move or killer that the quiet list skips earlier); when the picker
// stands in its quiet list with nothing left to skip, it is the next move.
TEST(Picker, PeekedMoveIsOneTheNodeHandsOut) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    const char* const fens[] = {Captures, StartFen, "4k4/9/9/9/R3r4/9/9/2C6/9/4K4 w - - 0 1",
                                "2bak4/4a4/4b4/2R1N4/2n6/2p3C2/9/4B4/4A4/3AK1B2 b - - 0 1"};
    for (const char* fen : fens) {
        for (const bool withHashAndKillers : {false, true}) {
            LoadFen(fen, pos);
            ResetSearchTables(state);
            MoveRecord all[MaxGeneratedMoves + 1];
            const int n = GenerateAll(pos, all);
            ASSERT_GE(n, 3);
            if (withHashAndKillers) {
                StoreHash(state.hash, pos, MoveOf(all[n - 1]), 0, 1, BoundLower);
                state.ordering.killers[0][0] = all[n - 2];
                state.ordering.killers[0][1] = all[n - 3];
            }
            MovePicker& p = Picker();
            ASSERT_EQ(InitPicker(p, state, pos, 3, -MateScore, MateScore), NoHashCutoff);
            std::vector<Move> handed, peeked;
            int nextMatched = 0;
            while (const Move m = NextMove(p, state, pos)) {
                if (!peeked.empty() && peeked.back() == m) nextMatched++;
                handed.push_back(m);
                peeked.push_back(PeekNextMove(p));
            }
            int named = 0;
            for (const Move next : peeked) {
                if (next == 0) continue;
                named++;
                EXPECT_NE(std::find(handed.begin(), handed.end(), next), handed.end())
                    << Text(next) << " in " << fen;
            }
            EXPECT_GT(named, 0) << fen;
            if (!withHashAndKillers && !SideToMoveInCheck(pos)) {
                EXPECT_GE(nextMatched, int(handed.size()) / 2) << fen;
            }
        }
    }
}

TEST(Picker, EvasionsComeInBands) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen("4k4/9/9/9/R3r4/9/9/2C6/9/4K4 w - - 0 1", pos);
    ASSERT_TRUE(SideToMoveInCheck(pos));
    ResetSearchTables(state);
    state.ordering.killers[0][0] = ParseMoveString("e0f0");
    StatsOf(state.ordering, Code("e0d0")).history = 700;
    MovePicker& p = Picker();
    ASSERT_EQ(InitPicker(p, state, pos, 3, -MateScore, MateScore), NoHashCutoff);
    ASSERT_GT(p.movesLeft, 1);
    for (int i = 1; i < p.movesLeft; i++) EXPECT_GE(p.moves[i - 1].score, p.moves[i].score);
    ASSERT_EQ(p.movesLeft, 4);
    EXPECT_TRUE(SameSquaresAs(p.moves[0], "a5e5"));
    EXPECT_EQ(p.moves[0].score, 13 * 12 - 12 + 4000);
    EXPECT_TRUE(SameSquaresAs(p.moves[1], "e0f0"));  // killer
    EXPECT_EQ(p.moves[1].score, 4);
    EXPECT_TRUE(SameSquaresAs(p.moves[2], "e0d0"));
    EXPECT_EQ(p.moves[2].score, 700 - 24000);
    EXPECT_TRUE(SameSquaresAs(p.moves[3], "c2e2"));
    EXPECT_EQ(p.moves[3].score, -24000);
    EXPECT_EQ(p.singleReply, 0);
}

TEST(Picker, QuiescenceCapturesThenChecks) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(Captures, pos);
    ResetSearchTables(state);
    MoveRecord checks[MaxCheckingMoves + 1];
    const int checkCount = GenerateChecks(pos, checks);
    ASSERT_GT(checkCount, 0);
    MovePicker& p = Picker();
    for (const bool option : {true, false}) {
        for (const bool allow : {true, false}) {
            state.options.checkInQuiescence = option;
            InitQuiescencePicker(p, state, pos, allow);
            std::vector<std::string> moves;
            while (const Move m = NextQuiescenceMove(p, pos)) moves.push_back(Text(m));
            std::vector<std::string> expected = {"i2i7", "b4b6", "b4e4"};
            if (option && allow)
                for (int i = 0; i < checkCount; i++) expected.push_back(Text(MoveOf(checks[i])));
            EXPECT_EQ(moves, expected) << option << allow;
        }
    }
    state.options.checkInQuiescence = true;
}

TEST(Picker, QuiescenceInCheckGivesEvasionsByMvvLva) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen("4k4/9/9/9/R3r4/9/9/2C6/9/4K4 w - - 0 1", pos);
    MovePicker& p = Picker();
    InitQuiescencePicker(p, state, pos, true);
    std::vector<std::string> moves;
    // The list may name moves that leave the king attacked: MakeMove refuses them.
    while (const Move m = NextQuiescenceMove(p, pos)) {
        MoveRecord record = RecordOfMove(pos, m);
        if (!MakeMove(record, pos)) continue;
        UnmakeMove(pos);
        moves.push_back(Text(m));
    }
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_EQ(moves[0], "a5e5");
}

}  // namespace
