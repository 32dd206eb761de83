#pragma once
// Move picking (picker.cpp): the hash move, captures, killers and quiet moves
// in stages for the main search; captures and checks for the quiescence.

#include "search/search.h"

// Room for every list a picker receives: captures from GenerateCaptures,
// quiet moves with the deferred captures behind them (all distinct moves of
// one position), evasions and checking moves.
constexpr int PickerCaptureRoom = MaxGeneratedCaptures + 1;
constexpr int PickerMoveRoom = MaxGeneratedMoves + 1;

struct MovePicker {
    uint8_t stage;
    uint8_t capturesLeft;
    uint8_t movesLeft;
    uint8_t cursor;
    uint8_t badCount;
    uint8_t hasHashMove;
    uint8_t checksEnabled;
    uint8_t singleReply;  // in check with exactly one evasion
    uint16_t hashMove;
    uint32_t killer1From, killer1To;  // killers once handed out, else 0
    uint32_t killer2From, killer2To;
    MoveRecord captures[PickerCaptureRoom];
    MoveRecord badCaptures[PickerCaptureRoom];
    MoveRecord moves[PickerMoveRoom];
};

// The stage that hands out the quiet moves and, behind them, the captures
// the exchange loses: a capture handed out there loses material.
constexpr uint8_t PickerQuietStage = 15;
inline bool HandsOutLosingCaptures(const MovePicker& picker) {
    return picker.stage == PickerQuietStage;
}

// Main search: the hash cut-off value, or NoHashCutoff (always, when the
// node leaves a move out and its entry cannot settle it).
int16_t InitPicker(MovePicker& picker, const SearchState& state, Position& pos, int8_t depth,
                   int16_t alpha, int16_t beta, bool allowCutoff = true);
// 0 when no move is left. The profile decides how quiet moves are ordered.
template <SearchProfile Profile = ProfileClassic>
Move NextMove(MovePicker& picker, const SearchState& state, Position& pos);
// The move the main picker would try next, when it already stands in a sorted
// list (it may still be skipped); 0 otherwise. The picker is not advanced.
Move PeekNextMove(const MovePicker& picker);
void InitQuiescencePicker(MovePicker& picker, const SearchState& state, Position& pos,
                          bool allowChecks);
// Pseudo-legal moves: in check too, so the caller must let MakeMove settle legality.
Move NextQuiescenceMove(MovePicker& picker, Position& pos);
void OrderEvasions(MovePicker& picker, const SearchState& state, Position& pos);
void ScoreCapturesMvvLva(const Position& pos, MoveRecord* list, int count);
