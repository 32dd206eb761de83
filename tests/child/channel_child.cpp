// channel_child: the program the tests of the line channel start as a child,
// the same on every system.
//   channel_child echo         copies its input to its output until the input ends
//   channel_child where A B    prints its directory, then "A|B" on its error
//                              output, and ends with exit code 3
//   channel_child linger       ignores its input and waits for a minute

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "shell/platform.h"

namespace {

int Echo() {
    StreamHandle in = StandardInputStream();
    StreamHandle out = StandardOutputStream();
    char chunk[4096];
    for (;;) {
        int32_t got = ReadStream(in, chunk, sizeof chunk);
        if (got == 0) return 0;
        if (got > 0) WriteStream(out, chunk, got);
    }
}

int Where(int argc, char** argv) {
    std::error_code failed;
    const std::string here = std::filesystem::current_path(failed).string();
    std::printf("%s\n", failed ? "?" : here.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "%s|%s\n", argc > 2 ? argv[2] : "", argc > 3 ? argv[3] : "");
    std::fflush(stderr);
    return 3;
}

}  // namespace

int main(int argc, char** argv) {
    UseBinaryStandardStreams();
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "echo") == 0) return Echo();
    if (std::strcmp(mode, "where") == 0) return Where(argc, argv);
    if (std::strcmp(mode, "linger") == 0) {
        SleepMilliseconds(60000);
        return 0;
    }
    std::fprintf(stderr, "usage: channel_child echo | where A B | linger\n");
    return 2;
}
