// A session: the first line chooses the protocol. "uci" turns it to UCI for
// good; any other line is a UCCI command, and UCCI goes on.

#include <cstdint>
#include <ctime>

#include "position/random.h"
#include "shell/engine.h"
#include "shell/shell.h"
#include "shell/ucci.h"
#include "shell/uci.h"

void ServeSession(Engine& engine) {
    static char line[LineBufferSize];
    while (!ReadLine(engine.channel, line)) {
        if (AtEndOfInput(engine.channel)) return;
        SleepMilliseconds(1);
    }
    if (engine.channel.LastLineOverlong) {
        RefuseOverlongLine(engine);
    } else if (IsUciCommand(line)) {
        ServeUci(engine);
        return;
    } else if (!RunUcciLine(engine, line)) {
        return;
    }
    ServeLines(engine, RunUcciLine);
}

int RunEngineSession() {
    SeedRandom(uint32_t(std::time(nullptr)));
    // Far too large for the stack; one per run.
    static Engine engine;
    if (!InitEngine(engine)) return 1;
    OpenChannel(engine.channel);
    ServeSession(engine);
    CloseChannel(engine.channel);
    return 0;
}
