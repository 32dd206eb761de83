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
    int16_t value;   // mate scores relative to the node
    int8_t depth;
    uint8_t bound;   // BoundNone: the slot is empty
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
