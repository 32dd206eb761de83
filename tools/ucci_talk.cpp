// ucci_talk ENGINE LINE...: starts the engine as a front end does, through a
// line channel to a child program, sends it the lines, and prints what it
// sends back, each line marked "<", every sent line marked ">", until the
// engine ends (at most a minute). Exit code: the engine's, or 1 when it
// cannot start.

#include <cstdio>
#include <string>

#include "search/clock.h"
#include "support/child_channel.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: ucci_talk ENGINE [LINE...]\n");
        return 2;
    }
    ChildChannel engine;
    if (!OpenChildChannel(engine, argv[1])) {
        std::fprintf(stderr, "ucci_talk: cannot start %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; i++) {
        std::printf("> %s\n", argv[i]);
        WriteChannel(engine.channel, (std::string(argv[i]) + "\n").c_str());
    }
    const int64_t deadline = ClockMilliseconds() + 60000;
    char line[LineBufferSize];
    while (!AtEndOfInput(engine.channel) && ClockMilliseconds() < deadline) {
        if (ReadLine(engine.channel, line)) {
            std::printf("< %s\n", line);
        } else {
            SleepMilliseconds(1);
        }
    }
    CloseChildChannel(engine);
    std::fflush(stdout);
    return engine.exitCode;
}
