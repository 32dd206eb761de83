// A whole session (UCCI, or UCI after a first "uci") in this process: the input is the text a front
// end sends, fed through a pipe that is already closed, so the command loop reads it line by line
// as from a real front end and every search ends at its first poll of the input. The replies go to
// /dev/null.

#include <fcntl.h>
#include <unistd.h>

#include "fuzz_support.h"
#include "shell/engine.h"
#include "shell/shell.h"

namespace {

int ReplySink() {
    static int sink = -1;
    if (sink < 0) sink = open("/dev/null", O_WRONLY);
    return sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareFuzzing();
    if (size > 60000) return 0;  // one pipe's room: the whole session is written at once
    int ends[2];
    if (pipe(ends) != 0) __builtin_trap();
    for (size_t done = 0; done < size;) {
        const ssize_t put = write(ends[1], data + done, size - done);
        if (put <= 0) __builtin_trap();
        done += size_t(put);
    }
    close(ends[1]);

    // A fresh engine for every session, as a front end starting the program.
    static Engine engine;
    if (!InitEngine(engine)) __builtin_trap();
    OpenOnStreams(engine.channel, ends[0], ReplySink());
    ServeSession(engine);
    RequireInvariants(engine.game, "game position after the session");
    RequireInvariants(engine.probe, "probe position after the session");
    close(ends[0]);
    return 0;
}
