#pragma once
// The search: iterative deepening under a depth, node or clock limit, the
// transposition table, move ordering, static exchange, the alpha-beta and
// quiescence searches and the root search. Everything it learns and every
// switch it obeys lives in a SearchState that the caller owns; it talks to
// the outside only through the SearchReporter given to RunSearch.

#include <cstddef>
#include <memory>

#include "position/position.h"

constexpr int16_t MateScore = 10000;
constexpr int16_t MateThreshold = 9950;
constexpr int16_t InterruptedScore = -30000;
constexpr int16_t NoHashCutoff = 10001;  // InitPicker: the hash table did not settle the node

// ---------------------------------------------------------------------------
// Transposition table (hash.cpp)

enum : uint8_t { BoundNone = 0, BoundUpper = 1, BoundLower = 2, BoundExact = 3 };

struct HashEntry {
    uint32_t keyLow;   // low half of the position key
    uint32_t keyHigh;  // high half
    uint16_t move;
    int16_t value;  // mate scores relative to the node
    int8_t depth;
    uint8_t bound;  // BoundNone: the slot is empty
};

struct HashBucket {
    HashEntry slot[2];
};
static_assert(sizeof(HashEntry) == 16 && sizeof(HashBucket) == 32,
              "a bucket fills half a cache line");

// Zeroed memory for a table of `bytes`, placed so that the system may back it
// with large pages (hash_memory_*.cpp); null when it cannot be had.
void* AllocateHashMemory(size_t bytes);
void FreeHashMemory(void* memory);
struct HashMemoryRelease {
    void operator()(HashBucket* buckets) const { FreeHashMemory(buckets); }
};

// A power of two of buckets; the low half of the key picks the bucket.
struct HashTable {
    std::unique_ptr<HashBucket[], HashMemoryRelease> buckets;
    uint32_t mask;  // bucket count - 1
};

constexpr uint32_t DefaultHashBuckets = 1u << 18;  // 8 MB
constexpr uint32_t MinHashMegabytes = 1, MaxHashMegabytes = 1024;

// Asks the processor for the bucket of `key` ahead of the probe.
inline void PrefetchHash(const HashTable& table, uint64_t key) {
    __builtin_prefetch(&table.buckets[KeyLow(key) & table.mask]);
}

// A table of `bucketCount` (a power of two) empty buckets. False, with the
// table as it was, when the memory cannot be had.
bool ResizeHash(HashTable& table, uint32_t bucketCount);
// The buckets of a table of `megabytes`: the largest power of two that fits,
// the size held within 1..1024 MB; 0 gives the default table.
uint32_t HashBucketsForMegabytes(uint32_t megabytes);
void ClearHash(HashTable& table);

void StoreHash(HashTable& table, const Position& pos, Move move, int16_t value, int8_t depth,
               uint8_t bound);
// A copy of the position's entry, unconverted.
bool ProbeHash(const HashTable& table, const Position& pos, HashEntry& entry);
bool ProbeHashMove(const HashTable& table, const Position& pos, Move& move);

struct HashCutoff {
    bool cutoff;
    int16_t value;  // converted for the current Ply, when cutoff
    bool hasMove;
    Move move;
};
HashCutoff HashCutoffTest(const HashTable& table, const Position& pos, int8_t depth, int16_t alpha,
                          int16_t beta);

// Mate scores count plies from the root; the table keeps them from the node.
int16_t ValueToHash(int16_t value, uint32_t ply);
int16_t ValueFromHash(int16_t value, uint32_t ply);

// ---------------------------------------------------------------------------
// Evaluation cache (eval_cache.cpp): the static evaluation of positions met
// recently, by their full key (which includes the side to move).

struct EvalSlot {
    uint64_t key;
    int32_t value;
    uint32_t filled;  // 0: the slot is empty
};

struct EvalCache {
    std::unique_ptr<EvalSlot[]> slots;
};

// 128 KB: small enough to stay in the processor's cache. A megabyte hit more
// often but made every lookup a trip to memory, costlier than evaluating.
constexpr uint32_t EvalCacheSlots = 1u << 13;

bool InitEvalCache(EvalCache& cache);  // false when the memory cannot be had
void ClearEvalCache(EvalCache& cache);
// Evaluate(pos), read from the cache when the position's key is there.
int32_t CachedEvaluate(EvalCache& cache, const Position& pos);

// ---------------------------------------------------------------------------
// Ordering tables (search_tables.cpp): what one search learns about moves.

// What the search learns of one move: its history score, and how often it
// was the best of the moves searched beside it.
struct MoveStats {
    uint32_t history;
    uint32_t best;
    uint32_t tried;
};

// One entry per pair of board squares, the moves of one piece side by side.
constexpr uint32_t MoveStatsCount = 90 * 90;
struct OrderingTables {
    MoveStats stats[MoveStatsCount];
    MoveRecord killers[MaxPly][2];
};

// A move's entry. A square off the board counts as a9, so a move that names
// one (never a played move) shares the entry of a9a9, which no move uses.
inline uint32_t StatsIndex(Move m) {
    return uint32_t(BoardIndex[MoveFrom(m)]) * 90 + BoardIndex[MoveTo(m)];
}
inline MoveStats& StatsOf(OrderingTables& tables, Move m) {
    return tables.stats[StatsIndex(m)];
}
inline const MoveStats& StatsOf(const OrderingTables& tables, Move m) {
    return tables.stats[StatsIndex(m)];
}

void ClearOrderingTables(OrderingTables& tables);
// best * 16384 / tried: 16384 when the move was always the best.
uint32_t SuccessRatio(const OrderingTables& tables, Move m);
// history += depth * depth; an entry reaching 32768 is halved.
void AddHistory(OrderingTables& tables, Move m, int depth);
// tried += 1 for each searched move, halving both counters of a move at 16384.
void CountTried(OrderingTables& tables, const Move* searched, int count);
void UpdateKillers(OrderingTables& tables, const MoveRecord& record, uint32_t ply);

// ---------------------------------------------------------------------------
// The search's state, owned by its caller

struct SearchOptions {
    bool checkInQuiescence;  // checking moves at the quiescence's first ply
    bool historyPruning;     // quiet moves that rarely turn out best are skipped
    bool historyReduction;   // ... or searched one ply shallower
};

constexpr int BanListCapacity = 101;
struct BanList {
    int32_t count;
    uint32_t moves[BanListCapacity];
};
// The move is one of the list's valid entries.
bool IsBanned(const BanList& bans, uint16_t move);

struct SearchReporter;

struct SearchState {
    HashTable hash;
    EvalCache evalCache;
    OrderingTables ordering;
    SearchOptions options;
    BanList bans;  // root moves the search must not play
    // One search's run:
    uint32_t nodes;
    uint32_t nodeLimit;              // 0: none
    int32_t rootDepth;               // the iteration being searched
    bool stopped;                    // the stop hook, the backstop or a limit ended the search
    bool pondering;                  // searching on the opponent's time: no clock until ponderhit
    const SearchReporter* reporter;  // null: nothing is polled or reported
    int64_t clockStart;              // clock reading from which the time control counts
    int32_t clockTotal;              // ms given under a clock (time left plus increment), else -1
    int64_t backstopStart;           // clock reading; the backstop is armed when its limit is >= 0
    int32_t backstopLimit;           // ms
    int32_t moveTime;                // ms from the clock's start to the search's end; 0: none
};

// Every option on, no banned moves, a default-sized empty table, nothing
// learnt. False when the table's memory cannot be had.
bool InitSearchState(SearchState& state);
// History, hash, success counters and killers emptied, and the node count
// and stop flag cleared: nothing one search leaves is seen by the next.
void ResetSearchTables(SearchState& state);

// ---------------------------------------------------------------------------
// Iterative deepening (iterative_deepening.cpp)

constexpr int32_t DeepestIteration = 127;  // the search takes its depth in 8 bits
// The deepest iteration to run under a depth limit (none when below 1).
int32_t LastIteration(int32_t maxDepth);

struct SearchLimits {
    int32_t maxDepth;  // the deepest iteration (none below 1, at most DeepestIteration)
    bool timed;        // a clock decides between iterations, with a backstop within them
    int32_t total;     // ms: the time left plus the increment, when timed
    uint32_t nodes;    // ends the search once counted, after the first iteration; 0: none
    bool ponder;       // no clock until the stop hook answers PollPonderHit
    // ms: the search ends this long after its clock starts, at the latest; 0: none
    int32_t moveTime;
};

// What an iteration leaves, for the reports. An interrupted iteration has
// `completed` false and reports only the time and the nodes.
struct IterationReport {
    bool completed;
    int32_t depth;
    int16_t score;
    int32_t elapsed;  // ms since the search started
    uint32_t nodes;
};

// What the stop hook answers at a polling node.
enum PollAnswer : uint8_t {
    PollContinue,   // search on
    PollStop,       // end the search as "stop" does
    PollPonderHit,  // the move pondered on was played: the clock starts now
};

// How the search talks to its caller: the stop hook, asked at the polling
// nodes (and, while pondering, after the last iteration until it answers),
// and a report after each iteration (the hash table then holds its principal
// variation). Any of them may be null.
struct SearchReporter {
    void* context;
    PollAnswer (*poll)(void* context);
    void (*iteration)(void* context, const IterationReport& report, const SearchState& state,
                      Position& pos);
    void (*idle)(void* context);  // a pondering search with nothing to do: let a moment pass
};

// The root's answer after a completed iteration.
struct RootAnswer {
    Move move;
    int16_t score;
    int8_t depth;  // 0: no iteration completed
};

// Searches the position within the limits, deeper one ply at a time, until a
// limit, a mate score or the stop hook ends it; the table then holds the
// answer at the root (put back if the interrupted nodes evicted it). While
// pondering, a search that has nothing left to do waits for the hook to
// answer stop or ponderhit.
RootAnswer RunSearch(SearchState& state, Position& pos, const SearchLimits& limits,
                     const SearchReporter& reporter);

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
int16_t InitPicker(MovePicker& picker, const SearchState& state, Position& pos, int8_t depth,
                   int16_t alpha, int16_t beta);
// 0 when no move is left.
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

// ---------------------------------------------------------------------------
// Searching (quiesce.cpp, alpha_beta.cpp, root.cpp)

// Moves searched at one node: every distinct move once, and the hash move and
// the two killers possibly once more.
constexpr int MaxSearchedMoves = MaxGeneratedMoves + 3;

int16_t Quiesce(SearchState& state, Position& pos, int16_t alpha, int16_t beta, int8_t checkBudget);
int16_t SearchAlphaBeta(SearchState& state, Position& pos, int8_t depth, int16_t alpha,
                        int16_t beta, uint8_t pvNode);
// One iteration; the answer is left in the root's hash entry.
int16_t SearchRoot(SearchState& state, Position& pos, int8_t depth);
// Asks the stop hook, then the clock and the node limit: true when the
// search must end now. A ponderhit starts the clock.
bool ShouldInterrupt(SearchState& state);

// The nodes of an interrupted iteration may have taken the root's slot in the
// hash table, where the reports look for the answer: this puts it back.
void KeepRootAnswer(HashTable& table, const Position& pos, const RootAnswer& answer);
// The score of a repeated position for the side to move, or 0 with
// `repeated` false when the position has not repeated.
int16_t RepetitionScore(const Position& pos, bool& repeated);
