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
