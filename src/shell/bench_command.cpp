// "quillon bench [classic|modern] [DEPTH [THREADS]]": a fixed set of
// positions searched to a fixed depth with fixed hash keys, through the same
// entry point as "go", each as a new game. The total node count is the
// signature of the profile's search: the same build always gives the same
// count, and any change in the search's behaviour changes it. With more than
// one thread the count varies from run to run; what matters then is the
// nodes per second.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "position/random.h"
#include "search/search.h"
#include "shell/line_channel.h"
#include "shell/shell.h"

namespace {

const char* const BenchPositions[] = {
#include "shell/bench_positions.inc"
};

// The modern search prunes far more, so it goes deeper in about the same time.
constexpr int DefaultBenchDepth[2] = {9, 13};
constexpr uint32_t BenchSeed = 20261207;

}  // namespace

int RunBenchCommand(int argc, char** argv) {
    SearchProfile profile = ProfileClassic;
    if (argc >= 1 &&
        (std::strcmp(argv[0], "classic") == 0 || std::strcmp(argv[0], "modern") == 0)) {
        profile = argv[0][0] == 'm' ? ProfileModern : ProfileClassic;
        argc--;
        argv++;
    }
    const int depth = argc >= 1 ? std::atoi(argv[0]) : DefaultBenchDepth[profile];
    const int threads = argc >= 2 ? std::atoi(argv[1]) : 1;
    if (depth < 1 || depth > 50 || threads < 1 || threads > MaxSearchThreads) {
        std::fprintf(stderr,
                     "usage: quillon bench [classic|modern] [DEPTH [THREADS]]  (1..50, 1..256)\n");
        return 2;
    }
    SeedRandom(BenchSeed);
    InitTables();
    std::unique_ptr<SearchState> state(new SearchState);
    std::unique_ptr<Position> pos(new Position);
    if (!InitSearchState(*state) || !SetSearchThreads(*state, threads)) return 1;
    state->profile = profile;
    SearchLimits limits;
    limits.maxDepth = depth;
    const SearchReporter silent{nullptr, nullptr, nullptr, nullptr, nullptr};
    static LineChannel out;
    OpenOnStreams(out, NoStream, StandardOutputStream());
    uint64_t total = 0;
    const auto start = std::chrono::steady_clock::now();
    int index = 0;
    for (const char* fen : BenchPositions) {
        LoadFen(fen, *pos);
        // The classic search forgets everything at each search anyway.
        if (profile == ProfileModern) ResetForNewGame(*state);
        const SearchAnswer answer = RunSearch(*state, *pos, limits, silent);
        char move[5] = "none";
        if (answer.best) FormatMove(MoveFrom(answer.best), MoveTo(answer.best), move);
        char text[96];
        std::snprintf(text, sizeof text, "position %2d  nodes %10u  score %6d  bestmove %s\n",
                      ++index, uint32_t(state->nodes), answer.score, move);
        WriteChannel(out, text);
        total += state->nodes;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char text[96];
    std::snprintf(text, sizeof text, "\nNodes searched  : %llu\nNodes/second    : %llu\n",
                  (unsigned long long)total,
                  (unsigned long long)(seconds > 0 ? double(total) / seconds : 0));
    WriteChannel(out, text);
    return 0;
}
