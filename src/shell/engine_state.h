#pragma once
// The engine state that the command loop sets and the search reads.

#include <cstdint>

extern bool StopFlag;  // set when PollStop sees "stop" (or the end of input)
extern uint32_t NodeCount;
extern int32_t RootDepth;

constexpr int BanListCapacity = 101;
struct BanListType {
    int32_t count;
    uint32_t moves[BanListCapacity];
};
extern BanListType BanList;  // root moves the next search must not play

extern bool CheckInQuiescence, HistoryPruning, HistoryReduction;  // all true at start-up
extern bool UseBook;

// Reads at most one waiting line and echoes it; true for "stop", and true when
// the input has ended, since no "stop" can come any more.
bool PollStop();
// The move is one of the BanList's valid entries.
bool IsBanned(uint16_t move);

// False while a developer command searches: nothing is read from the input.
extern bool PollingInput;
// Under a time control: the search has used a quarter of the time it was
// given, so it must end now, as on "stop".
bool BackstopReached();
// Arms the backstop for a search that started at `start` (a clock reading):
// BackstopReached turns true `limit` ms later; a negative limit disarms it.
void StartBackstop(int64_t start, int32_t limit);
