#pragma once
// Invariant checks at the seams a fault crosses (making moves, the picker's
// stages, the hash entries, the search's stacks). They run in debug builds
// and wherever QUILLON_CHECKS is defined (the sanitizer and fuzz builds);
// a release build compiles them to nothing, so its code is unchanged.

#if !defined(NDEBUG) || defined(QUILLON_CHECKS)
#define QUILLON_CHECKS_ON 1
#endif

struct Position;

// What making a move updates by difference (the keys, the sums, the
// occupancy words and the check flag), recomputed from the piece map: cheap
// enough to run after every move. Null when everything agrees.
const char* IncrementalStateMismatch(const Position& pos);
// All of that, and the board and the piece map against each other, the sums
// against the placement values and the last move against the board.
// Callable in any build.
const char* PositionInconsistency(const Position& pos);
inline bool PositionIsConsistent(const Position& pos) {
    return PositionInconsistency(pos) == nullptr;
}

// Report the failed check on standard error and abort.
[[noreturn]] void FailCheck(const char* what, const char* detail, const char* file, int line);
void CheckConsistent(const Position& pos, const char* file, int line);
void CheckIncrementalState(const Position& pos, const char* file, int line);

#ifdef QUILLON_CHECKS_ON
#define QUILLON_ASSERT(cond) ((cond) ? void(0) : FailCheck(#cond, nullptr, __FILE__, __LINE__))
#define QUILLON_ASSERT_CONSISTENT(pos) CheckConsistent(pos, __FILE__, __LINE__)
#define QUILLON_ASSERT_INCREMENTAL(pos) CheckIncrementalState(pos, __FILE__, __LINE__)
#else
// Unevaluated, so that the names in the condition still count as used.
#define QUILLON_ASSERT(cond) void(sizeof(!(cond)))
#define QUILLON_ASSERT_CONSISTENT(pos) void(sizeof(&(pos)))
#define QUILLON_ASSERT_INCREMENTAL(pos) void(sizeof(&(pos)))
#endif
