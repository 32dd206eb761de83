#pragma once
// The search: transposition table, move ordering, static exchange, the
// alpha-beta and quiescence searches and the root search.

#include "position/position.h"

constexpr int16_t MateScore = 10000;
constexpr int16_t MateThreshold = 9950;
constexpr int16_t InterruptedScore = -30000;
constexpr int16_t NoHashCutoff = 10001;  // InitPicker: the hash table did not settle the node

// ---------------------------------------------------------------------------
// Transposition table (hash.cpp)

enum : uint8_t { BoundNone = 0, BoundUpper = 1, BoundLower = 2, BoundExact = 3 };

struct HashEntry {
    uint32_t key;    // low half of the position key
    uint32_t check;  // high half
    uint16_t move;
    int16_t value;  // mate scores relative to the node
    int8_t depth;
    uint8_t bound;  // BoundNone: the slot is empty
};

constexpr uint32_t HashBucketCount = 1u << 18;
extern HashEntry HashTable[HashBucketCount][2];

void StoreHash(const Position& pos, Move move, int16_t value, int8_t depth, uint8_t bound);
bool ProbeHash(const Position& pos, HashEntry& entry);  // a copy of the entry, unconverted
bool ProbeHashMove(const Position& pos, Move& move);

struct HashCutoff {
    bool cutoff;
    int16_t value;  // converted for the current Ply, when cutoff
    bool hasMove;
    Move move;
};
HashCutoff HashCutoffTest(const Position& pos, int8_t depth, int16_t alpha, int16_t beta);

// Mate scores count plies from the root; the table keeps them from the node.
int16_t ValueToHash(int16_t value, uint32_t ply);
int16_t ValueFromHash(int16_t value, uint32_t ply);

void ClearHash();
// History, hash, success counters and killers, emptied at every "go".
void ResetSearchTables();

// ---------------------------------------------------------------------------
// Ordering tables (search_tables.cpp)

extern uint32_t HistoryTable[65536];
extern MoveRecord KillerTable[MaxPly][2];
extern uint32_t BestCount[65536];
extern uint32_t TriedCount[65536];

// BestCount * 16384 / TriedCount: 16384 when the move was always the best.
uint32_t SuccessRatio(Move m);
// HistoryTable[m] += depth * depth; an entry reaching 32768 is halved.
void AddHistory(Move m, int depth);
// TriedCount += 1 for each searched move, halving both counters of a move at 16384.
void CountTried(const Move* searched, int count);
void UpdateKillers(const MoveRecord& record, uint32_t ply);

// ---------------------------------------------------------------------------
// Static exchange (see.cpp)

// The ordering value of a piece, with 2 more for a pawn across the river.
int32_t OrderValue(uint32_t piece, uint32_t square);

struct AttackerCursor {
    uint8_t stage;
    uint32_t target;
    uint8_t side;
    uint8_t step;
};
void InitAttackerCursor(AttackerCursor& cursor, uint32_t target, uint32_t side);
uint32_t NextAttacker(AttackerCursor& cursor, const Position& pos);  // a square, 0 for none

// Both overwrite record.score; the position is exactly as before on return.
bool IsGoodCapture(Position& pos, MoveRecord& record);
void StaticExchange(Position& pos, MoveRecord& record);

// ---------------------------------------------------------------------------
// Move picking (picker.cpp)

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

// Main search: the hash cut-off value, or NoHashCutoff.
int16_t InitPicker(MovePicker& picker, Position& pos, int8_t depth, int16_t alpha, int16_t beta);
Move NextMove(MovePicker& picker, Position& pos);  // 0 when no move is left
void InitQuiescencePicker(MovePicker& picker, Position& pos, int16_t alpha, int16_t beta,
                          bool allowChecks);
Move NextQuiescenceMove(MovePicker& picker, Position& pos);
void OrderEvasions(MovePicker& picker, Position& pos);
void ScoreCapturesMvvLva(const Position& pos, MoveRecord* list, int count);

// ---------------------------------------------------------------------------
// Searching (quiesce.cpp, alpha_beta.cpp, root.cpp)

// Moves searched at one node: every distinct move once, and the hash move and
// the two killers possibly once more.
constexpr int MaxSearchedMoves = MaxGeneratedMoves + 3;

int16_t Quiesce(int16_t alpha, int16_t beta, Position& pos, int8_t checkBudget);
int16_t SearchAlphaBeta(int8_t depth, int16_t alpha, int16_t beta, Position& pos, uint8_t pvNode);
int16_t SearchRoot(int8_t depth, Position& pos);

// The root's answer after a completed iteration.
struct RootAnswer {
    Move move;
    int16_t score;
    int8_t depth;  // 0: no iteration completed
};
// The nodes of an interrupted iteration may have taken the root's slot in the
// hash table, where the reports look for the answer: this puts it back.
void KeepRootAnswer(const Position& pos, const RootAnswer& answer);
// The score of a repeated position for the side to move, or 0 with
// `repeated` false when the position has not repeated.
int16_t RepetitionScore(const Position& pos, bool& repeated);

// The "quillon bench [DEPTH]" command; argv holds the words after "bench".
int RunBenchCommand(int argc, char** argv);
