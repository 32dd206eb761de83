#pragma once
// The searches of one iteration (quiesce.cpp, alpha_beta.cpp, root.cpp) and
// the answer drawn from the table after it (answer.cpp).

#include "search/search.h"

// Moves searched at one node: every distinct move once, and the hash move and
// the two killers possibly once more.
constexpr int MaxSearchedMoves = MaxGeneratedMoves + 3;

template <SearchProfile Profile = ProfileClassic>
int16_t Quiesce(SearchState& state, Position& pos, int16_t alpha, int16_t beta, int8_t checkBudget);
template <SearchProfile Profile = ProfileClassic>
int16_t SearchAlphaBeta(SearchState& state, Position& pos, int8_t depth, int16_t alpha,
                        int16_t beta, uint8_t pvNode);
// One iteration within the window (alpha, beta); the answer is left in the
// root's hash entry. The classic profile always searches the full window. A
// modern search that fails high leaves its move as a lower bound; one that
// fails low leaves the entry as it was.
template <SearchProfile Profile = ProfileClassic>
int16_t SearchRoot(SearchState& state, Position& pos, int8_t depth, int16_t alpha = -MateScore,
                   int16_t beta = MateScore);
// The score of a repeated position for the side to move, or 0 with
// `repeated` false when the position has not repeated.
int16_t RepetitionScore(const Position& pos, bool& repeated);
// The modern profile's: a cycle judged by the rules (a draw, or a loss for
// the side that checks or chases throughout), and the quiet stretch that
// draws. A decisive cycle that began before the root is not scored: the
// side to move may still leave it.
int16_t RuledRepetitionScore(const SearchState& state, Position& pos, bool& repeated);

// The principal variation the table holds from the position; the position
// is as it was on return.
void DrawPrincipalVariation(const HashTable& table, Position& pos, PrincipalVariation& pv);
// The table's best move for the position and, when the table has a playable
// reply to it, the move to ponder on (0 when none). False, both 0, when there
// is no entry or its move does not fit the position.
bool DrawBestMove(const HashTable& table, Position& pos, Move& best, Move& ponder);
// The root's entry after a search is the last completed iteration's, which
// the nodes of an interrupted one may have evicted: "probe" reads it there.
// Nothing is kept at depth 0 (no iteration completed).
void KeepRootAnswer(HashTable& table, const Position& pos, Move move, int16_t score, int32_t depth);
