// "quillon bench [DEPTH]": a fixed set of positions searched to a fixed depth
// with fixed hash keys, through the same entry point as "go". The total node
// count is the signature of the search: the same build always gives the same
// count, and any change in the search's behaviour changes it.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "position/random.h"
#include "search/search.h"
#include "shell/shell.h"

namespace {

const char* const BenchPositions[] = {
#include "shell/bench_positions.inc"
};

constexpr int DefaultBenchDepth = 9;
constexpr uint32_t BenchSeed = 20261207;

}  // namespace

int RunBenchCommand(int argc, char** argv) {
    const int depth = argc >= 1 ? std::atoi(argv[0]) : DefaultBenchDepth;
    if (depth < 1 || depth > 50) {
        std::fprintf(stderr, "usage: quillon bench [DEPTH]  (1..50)\n");
        return 2;
    }
    SeedRandom(BenchSeed);
    InitTables();
    std::unique_ptr<SearchState> state(new SearchState);
    std::unique_ptr<Position> pos(new Position);
    if (!InitSearchState(*state)) return 1;
    const SearchLimits limits{depth, false, 0, 0, false, 0};
    const SearchReporter silent{nullptr, nullptr, nullptr, nullptr};
    uint64_t total = 0;
    const auto start = std::chrono::steady_clock::now();
    int index = 0;
    for (const char* fen : BenchPositions) {
        LoadFen(fen, *pos);
        const RootAnswer answer = RunSearch(*state, *pos, limits, silent);
        char text[5] = "none";
        if (answer.move) FormatMove(MoveFrom(answer.move), MoveTo(answer.move), text);
        std::printf("position %2d  nodes %10u  score %6d  bestmove %s\n", ++index, state->nodes,
                    answer.score, text);
        total += state->nodes;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("\nNodes searched  : %llu\n", (unsigned long long)total);
    std::printf("Nodes/second    : %llu\n",
                (unsigned long long)(seconds > 0 ? double(total) / seconds : 0));
    return 0;
}
