// quillon: with no arguments it speaks UCCI on standard input and output.
// Developer commands: see the table below.

#include <cstdio>
#include <cstring>

#include "shell/shell.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(int argc, char** argv);  // the arguments after the name
};

const Subcommand Subcommands[] = {
    {"perft", RunPerftCommand},
    {"bench", RunBenchCommand},
    {"judge", RunJudgeCommand},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return RunEngineSession();
    for (const Subcommand& sub : Subcommands) {
        if (sub.run && std::strcmp(argv[1], sub.name) == 0) return sub.run(argc - 2, argv + 2);
    }
    std::fprintf(stderr,
                 "usage: quillon [perft DEPTH [FEN] | bench [classic|modern] [DEPTH [THREADS]] | "
                 "judge ...]\n");
    return 2;
}
