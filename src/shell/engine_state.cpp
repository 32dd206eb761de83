#include "shell/engine_state.h"

#include "shell/clock.h"

bool StopFlag = false;
uint32_t NodeCount = 0;
int32_t RootDepth = 0;
BanListType BanList = {0, {}};
bool CheckInQuiescence = true;
bool HistoryPruning = true;
bool HistoryReduction = true;
bool UseBook = true;

bool IsBanned(uint16_t move) {
    int32_t count = BanList.count;
    if (count > BanListCapacity) count = BanListCapacity;
    for (int32_t i = 0; i < count; i++) {
        if (BanList.moves[i] == move) return true;
    }
    return false;
}

bool PollingInput = true;

namespace {
int64_t BackstopStart = 0;
int32_t BackstopLimit = -1;
}  // namespace

void StartBackstop(int64_t start, int32_t limit) {
    BackstopStart = start;
    BackstopLimit = limit;
}

bool BackstopReached() {
    return BackstopLimit >= 0 && ClockMilliseconds() - BackstopStart >= BackstopLimit;
}
