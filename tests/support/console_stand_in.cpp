#include "support/console_stand_in.h"

int32_t StandInConsoleEvents = 0;

namespace {

int32_t CountStandInEvents(StreamHandle) {
    return StandInConsoleEvents;
}

}  // namespace

void UseStandInConsole(LineChannel& channel) {
    channel.IsConsole = 1;
    channel.CountConsoleEvents = CountStandInEvents;
}
