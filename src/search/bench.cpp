// "quillon bench [DEPTH]": a fixed set of positions searched to a fixed depth
// with fixed hash keys. The total node count is the signature of the search:
// the same build always gives the same count, and any change in the search's
// behaviour changes it.

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "position/random.h"
#include "search/search.h"
#include "shell/engine_state.h"

namespace {

const char* const BenchPositions[] = {
#include "search/bench_positions.inc"
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
    PollingInput = false;
    UseBook = false;
    static Position pos;
    uint64_t total = 0;
    const auto start = std::chrono::steady_clock::now();
    int index = 0;
    for (const char* fen : BenchPositions) {
        LoadFen(fen, pos);
        ResetSearchTables();
        StopFlag = false;
        NodeCount = 0;
        int score = 0;
        for (int d = 1; d <= depth; d++) {
            RootDepth = d;
            pos.Ply = 0;
            score = SearchRoot(int8_t(d), pos);
            if (score >= MateThreshold || score <= -MateThreshold) break;
        }
        Move best = 0;
        ProbeHashMove(pos, best);
        char text[5] = "none";
        if (best) FormatMove(MoveFrom(best), MoveTo(best), text);
        std::printf("position %2d  nodes %10u  score %6d  bestmove %s\n", ++index, NodeCount, score,
                    text);
        total += NodeCount;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("\nNodes searched  : %llu\n", (unsigned long long)total);
    std::printf("Nodes/second    : %llu\n",
                (unsigned long long)(seconds > 0 ? double(total) / seconds : 0));
    return 0;
}
