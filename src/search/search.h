#pragma once
// The search's public face: the state a caller owns, the limits it sets, the
// reporter through which the search talks back, and the answer it returns as
// values. The shell sees this header (and the clock) only; the picker, the
// exchange evaluation, the ordering tables and the searches themselves are
// internal (picker.h, see.h, ordering.h, tree.h, transposition.h,
// time_manager.h).

#include <atomic>
#include <cstddef>
#include <memory>

#include "position/position.h"

constexpr int16_t MateScore = 10000;
constexpr int16_t MateThreshold = 9950;
constexpr int16_t InterruptedScore = -30000;

// ---------------------------------------------------------------------------
// Transposition table (hash.cpp): sizing, clearing, and what "probe" reads

enum : uint8_t { BoundNone = 0, BoundUpper = 1, BoundLower = 2, BoundExact = 3 };

// A copy of one slot, as "probe" reads it.
struct HashEntry {
    uint32_t keyLow;   // low half of the position key
    uint32_t keyHigh;  // high half
    uint16_t move;
    int16_t value;  // mate scores relative to the node
    int8_t depth;
    uint8_t bound;       // BoundNone: the slot is empty
    uint8_t generation;  // the table's generation when stored
    uint8_t spare;
};

// A slot as the threads share it (hash.cpp): two words, each written and
// read whole; the first is the key XORed with the second.
struct HashSlot {
    std::atomic<uint64_t> check;  // the position key ^ data
    std::atomic<uint64_t> data;   // move, value, depth and bound
};
struct HashBucket {
    HashSlot slot[2];
};
static_assert(sizeof(HashSlot) == 16 && sizeof(HashBucket) == 32,
              "a bucket fills half a cache line");

// A slot's entry as its words give it; the keys of a slot torn by two
// writers do not match the position the bucket is probed for.
HashEntry ReadHashSlot(const HashSlot& slot);
void WriteHashSlot(HashSlot& slot, const HashEntry& entry);

// Zeroed memory for a table of `bytes`, placed so that the system may back it
// with large pages (hash_memory_*.cpp); null when it cannot be had.
void* AllocateHashMemory(size_t bytes);
void FreeHashMemory(void* memory);
// A helper thread's table is a view of the main thread's: it frees nothing.
struct HashMemoryRelease {
    bool owner = true;
    void operator()(HashBucket* buckets) const {
        if (owner) FreeHashMemory(buckets);
    }
};

// A power of two of buckets; the low half of the key picks the bucket.
struct HashTable {
    std::unique_ptr<HashBucket[], HashMemoryRelease> buckets;
    uint32_t mask;  // bucket count - 1
    // Counts the searches of a table kept between them (the modern profile);
    // entries of older generations give way first. Always 0 in the classic
    // profile, which empties the table for each search.
    uint8_t generation;
};

constexpr uint32_t DefaultHashBuckets = 1u << 18;  // 8 MB
constexpr uint32_t MinHashMegabytes = 1, MaxHashMegabytes = 1024;

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
// Per mille of the slots in use, sampled over the first 1000 buckets: those
// of the current generation when `currentGenerationOnly` (a table kept
// between searches), else any filled one.
uint32_t HashFullPerMille(const HashTable& table, bool currentGenerationOnly);

// ---------------------------------------------------------------------------
// What one search learns, kept in the state (used inside the search only)

// The static evaluation of positions met recently, by their full key (which
// includes the side to move).
struct EvalSlot {
    uint64_t key;
    int32_t value;
    uint32_t filled;  // 0: the slot is empty
};
struct EvalCache {
    std::unique_ptr<EvalSlot[]> slots;
};

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

// ---------------------------------------------------------------------------
// The search's state, owned by its caller

// The two engines behind one search code: `ProfileClassic` is the original
// engine, every decision as it always was; `ProfileModern` adds the pruning,
// reductions and ordering of today's strong engines, keeps its table between
// moves and plans its time with soft and hard limits.
enum SearchProfile : uint8_t { ProfileClassic, ProfileModern };

// The numbers of the modern search, in one place so that a tuning run can
// change them (the classic search reads none of them). Margins are in the
// evaluation's units (an uncrossed pawn is about 10, a rook about 200).
struct ModernParameters {
    int32_t aspirationWindow;       // the first window around the previous score
    int32_t reverseFutilityMargin;  // per ply of depth left
    int32_t reverseFutilityDepth;   // deepest node that may return its evaluation
    int32_t futilityBase, futilityPerDepth;
    int32_t futilityDepth;
    int32_t nullMoveBase;          // reduction at shallow depth ...
    int32_t nullMoveDepthDivisor;  // ... and one ply more per this many plies
    int32_t nullMoveEvalDivisor;   // ... and per this much evaluation above beta
    int32_t nullVerifyDepth;       // from this depth a null-move cut-off is verified
    int32_t lateMoveBase;          // move-count threshold of late-move pruning
    int32_t reductionBase100, reductionDivisor100;  // log-log table, in hundredths
    int32_t historyReductionDivisor;                // history that takes back one ply
    int32_t iirDepth;  // from this depth a node without a hash move is searched a ply shallower
    int32_t historyBonusLimit;
    // From this depth a hash move that no other move comes near (within
    // singularMargin per ply, in sixteenths, below the entry's value at
    // half the depth) is searched a ply deeper.
    int32_t singularDepth, singularMargin16;
};
extern const ModernParameters DefaultModernParameters;

// What the modern search learns, beside the classic tables: history with a
// gravity update per side and move, the counter move to each move, the
// continuation history by the previous move's piece and target, and per ply
// the static evaluation and the move played.
constexpr int32_t HistoryMax = 16384;
constexpr uint32_t PieceTargets = 14 * 90;  // a kind of piece (0..13) on a target square
struct ModernPly {
    int16_t staticEval;
    uint16_t pieceTarget;  // of the move played from this ply, PieceTargets: none
    Move excluded;         // the hash move a singularity test leaves out, else 0
};
struct ModernTables {
    int16_t history[2][MoveStatsCount];
    Move counterMoves[PieceTargets];
    // [previous piece-target][this piece-target]; one and two plies back.
    std::unique_ptr<int16_t[]> continuation;
    ModernPly plies[MaxPly + 8];
    uint32_t nullMovesFromPly;  // a null-move verification allows none above this ply
    // The last completed iteration's nodes, and those its best move took.
    uint32_t iterationNodes, bestMoveNodes;
    uint32_t rootQuietPlies;     // plies without a capture that count, at the root
    int32_t mateMoves;           // the mate searched for (SearchLimits::mate); 0: a usual search
    uint8_t reductions[64][64];  // late-move reductions by depth and move number
};

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

// The plan of a timed search between iterations: each move gets a fortieth
// of the time given, once more for every sharp fall of the score, and less
// when the best move has settled.
struct TimeControl {
    int32_t Limit;          // ms since the clock's start after which no iteration starts
    int32_t Allotment;      // ms, the base time of this move
    uint16_t LastBestMove;  // best move after the previous iteration
    int16_t LastScore;      // score of the previous iteration
    uint8_t StableCount;    // iterations in a row, the latest included, ending with LastBestMove
};

// The clock of one search (time_manager.cpp): the plan asked between
// iterations, and the hard deadline that ends an iteration.
struct SearchClock {
    bool timed;      // the plan decides between iterations
    bool pondering;  // on the opponent's time: no clock until ponderhit
    TimeControl plan;
    int64_t start;      // clock reading from which the plan and the deadline count
    int32_t deadline;   // ms after start at which the search ends; -1: none
    int32_t planTotal;  // ms the plan was given (time left plus increment), -1 untimed
    int32_t hardLimit;  // ms the deadline may never pass (the time left less a margin), -1 none
    int32_t moveTime;   // ms, 0: none
    // The modern plan: a soft limit, stretched or cut after each iteration
    // by how settled the best move is, how much of the nodes it took and
    // whether the score fell; the deadline is the hard limit.
    bool modern;
    int32_t softLimit;  // ms
    uint16_t lastBest;  // best move of the previous iteration
    int16_t lastScore;  // its score
    uint8_t settled;    // iterations in a row with the same best move
};

// The root moves one search may play: when `allowedCount` is above 0, only
// the allowed ones; never the excluded ones (the lines already found in a
// search for several best lines).
struct RootMoveFilter {
    int32_t allowedCount;
    Move allowed[MaxGeneratedMoves];
    int32_t excludedCount;
    Move excluded[MaxGeneratedMoves];
};
// The filter leaves the move out of the root's search.
bool RootMoveSkipped(const RootMoveFilter& filter, Move move);

struct SearchReporter;

// A thread's node count. Its owner counts; the main thread reads it while the
// helpers search, so it is a relaxed atomic (plain moves on x86). Read, it
// gives the count of every thread of the search: the reports and the node
// limit count them all.
struct NodeCounter {
    std::atomic<uint32_t> own{0};
    // Every counter of the search, this one among them; null: this one alone.
    const NodeCounter* const* group = nullptr;
    int32_t groupSize = 0;

    uint32_t Own() const { return own.load(std::memory_order_relaxed); }
    operator uint32_t() const {
        if (!group) return Own();
        uint32_t total = 0;
        for (int32_t i = 0; i < groupSize; i++) total += group[i]->Own();
        return total;
    }
    NodeCounter& operator=(uint32_t n) {
        own.store(n, std::memory_order_relaxed);
        return *this;
    }
    uint32_t operator++(int) {
        const uint32_t n = Own();
        own.store(n + 1, std::memory_order_relaxed);
        return n;
    }
};

// The helper threads of a search (threads.cpp); null with one thread.
struct SearchThreads;
struct SearchThreadsRelease {
    void operator()(SearchThreads* threads) const;
};

struct SearchState {
    HashTable hash;
    EvalCache evalCache;
    OrderingTables ordering;
    SearchOptions options;
    SearchProfile profile;  // ProfileClassic unless set
    ModernParameters parameters;
    ModernTables modern;
    BanList bans;  // root moves the search must not play
    RootMoveFilter root;
    // One search's run:
    NodeCounter nodes;
    uint32_t nodeLimit;              // 0: none
    int32_t rootDepth;               // the iteration being searched
    int32_t selDepth;                // the deepest ply this iteration has reached
    bool stopped;                    // the stop hook, the deadline or a limit ended the search
    const SearchReporter* reporter;  // null: nothing is polled or reported
    SearchClock clock;
    // A helper's: set by the main thread when the search ends. Null: none.
    const std::atomic<bool>* helperStop;
    // Last, so that the helpers are gone before the table they share.
    std::unique_ptr<SearchThreads, SearchThreadsRelease> threads;
};

// Every option on, no banned moves, a default-sized empty table, nothing
// learnt. False when the table's memory cannot be had.
bool InitSearchState(SearchState& state);
// The same without a table of its own (a helper thread's is a view of the
// main thread's). False when the memory cannot be had.
bool InitSearchFields(SearchState& state);
// The threads that search: the main one and count - 1 helpers (1..256),
// kept between searches. Call it only while no search runs. False, with one
// thread, when the helpers' memory cannot be had.
constexpr int32_t MaxSearchThreads = 256;
bool SetSearchThreads(SearchState& state, int32_t count);
int32_t SearchThreadCount(const SearchState& state);
// What each helper holds besides the shared table, in bytes: its state, its
// copy of the position and its evaluation cache.
size_t HelperThreadBytes();
// History, hash, success counters and killers emptied, and the node count
// and stop flag cleared: nothing one search leaves is seen by the next.
void ResetSearchTables(SearchState& state);
// A modern search begins: the node count and stop flag cleared, killers
// emptied, the history aged; the table is kept.
void StartModernSearch(SearchState& state);
// What a new game empties in the modern profile, which keeps its table and
// its history from one move to the next.
void ResetForNewGame(SearchState& state);

// ---------------------------------------------------------------------------
// Limits, reports and the answer

constexpr int32_t DeepestIteration = 127;  // the search takes its depth in 8 bits
// The deepest iteration to run under a depth limit (none when below 1).
inline int32_t LastIteration(int32_t maxDepth) {
    return maxDepth > DeepestIteration ? DeepestIteration : maxDepth;
}

// What a protocol's "go" asks for. Set the fields that apply; the rest keep
// their defaults (no clock, no node or time limit, the deepest iteration).
struct SearchLimits {
    int32_t maxDepth = DeepestIteration;  // the deepest iteration (none below 1)
    bool timed = false;                   // a clock: timeLeft and increment apply
    int32_t timeLeft = 0;                 // ms on the clock of the side to move
    int32_t increment = 0;                // ms added after the move
    int32_t movesToGo = 0;                // moves until the next time control; 0: unknown
    int32_t moveTime = 0;  // ms from the clock's start to the search's end at the latest; 0: none
    uint32_t nodes = 0;    // ends the search once counted, after the first iteration; 0: none
    // A mate search: ends once a mate in at most this many moves is found (or
    // once the depth has shown there is none); the modern search prunes and
    // reduces nothing meanwhile, so that no mate slips through. 0: none.
    int32_t mate = 0;
    bool ponder = false;  // no clock until the stop hook answers PollPonderHit
    int32_t lines = 1;    // the best lines reported at each depth, each by its own first move
    int32_t searchMoveCount = 0;               // 0: every root move may be played ...
    Move searchMoves[MaxGeneratedMoves] = {};  // ... else only these
};

enum ScoreBound : uint8_t { ScoreExact, ScoreLowerBound, ScoreUpperBound };

inline bool IsMateScore(int32_t score) {
    return score >= MateThreshold || score <= -MateThreshold;
}
// A mate score in whole moves: N > 0 when the side to move mates in N,
// -N (or 0, mated at once) when it is mated; 0 for any other score.
int32_t MateInMoves(int32_t score);

// The principal variation has at most this many moves.
constexpr int MaxPvLength = 64;

// The principal variation as the hash table holds it from the root, drawn
// right after an iteration: `found` false when the root's entry gives no best
// move (none, no move, or an upper bound). Else `listed` moves that fit the
// positions they reach, up to a repetition; the first `legal` of them can be
// made (a last one may leave its own king in check).
struct PrincipalVariation {
    bool found;
    int8_t listed;
    int8_t legal;
    Move moves[MaxPvLength];
};

// What an iteration leaves, for the reports: one per line when several best
// lines are asked for, best first. An interrupted iteration has `completed`
// false and carries only the time and the nodes.
struct IterationReport {
    bool completed;
    int32_t depth;
    int16_t score;
    ScoreBound bound;
    int32_t elapsed;  // ms since the search started
    uint32_t nodes;
    PrincipalVariation pv;
    int32_t selDepth;   // the deepest ply the iteration reached
    int32_t line;       // 1 for the best line, 2 for the next ...
    uint32_t hashFull;  // per mille of the table in use
};

// The search's answer: the last completed iteration's move (0 when there is
// none, or when it is no move of the position), the move to ponder on (0 when
// the table has no playable reply), its score, depth (0: no iteration
// completed) and principal variation.
struct SearchAnswer {
    Move best;
    Move ponder;
    int16_t score;
    ScoreBound bound;
    int32_t depth;
    PrincipalVariation pv;
};

// What the stop hook answers at a polling node.
enum PollAnswer : uint8_t {
    PollContinue,   // search on
    PollStop,       // end the search as "stop" does
    PollPonderHit,  // the move pondered on was played: the clock starts now
};

// How the search talks to its caller: the stop hook, asked at the polling
// nodes (and, while pondering, after the last iteration until it answers),
// and a report after each iteration. Any of them may be null.
struct SearchReporter {
    void* context;
    PollAnswer (*poll)(void* context);
    void (*iteration)(void* context, const IterationReport& report);
    void (*idle)(void* context);  // a pondering search with nothing to do: let a moment pass
    // The root is about to search its `number`th move (from 1) of the iteration.
    void (*rootMove)(void* context, Move move, int number);
};

// Searches the position within the limits, deeper one ply at a time, until a
// limit, a mate score or the stop hook ends it, and returns its answer. While
// pondering, a search that has nothing left to do waits for the hook to
// answer stop or ponderhit. The table keeps the answer as the root's entry,
// where "probe" finds it. With helper threads (SetSearchThreads) they search
// beside the caller's thread until it ends, and the answer is chosen among
// theirs by the rule of threads.cpp.
SearchAnswer RunSearch(SearchState& state, Position& pos, const SearchLimits& limits,
                       const SearchReporter& reporter);

// The quiescence value of the position, counted from it: what "probe" gives
// for a position the table does not hold.
int16_t QuiescenceValue(SearchState& state, Position& pos);
