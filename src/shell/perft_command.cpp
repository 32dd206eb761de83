// "quillon perft DEPTH [FEN]": one line per legal root move with its count,
// then the total. Timing goes to stderr so that stdout stays comparable.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "check/check.h"
#include "position/position.h"
#include "position/random.h"
#include "shell/line_channel.h"
#include "shell/shell.h"

int RunPerftCommand(int argc, char** argv) {
    if (argc < 1) {
        std::fprintf(stderr, "usage: quillon perft DEPTH [FEN]\n");
        return 2;
    }
    const int depth = std::atoi(argv[0]);
    std::string fen;
    for (int i = 1; i < argc; i++) {
        if (i > 1) fen += ' ';
        fen += argv[i];
    }
    if (fen.empty()) fen = StartFen;

    SeedRandom(1);
    InitTables();
    static Position pos;
    LoadFen(fen.c_str(), pos);

    static LineChannel out;
    OpenOnStreams(out, NoStream, StandardOutputStream());
    const auto start = std::chrono::steady_clock::now();
    MoveRecord list[MaxGeneratedMoves + 1];
    int n = 0;
    if (depth >= 1)
        n = SideToMoveInCheck(pos) ? GenerateEvasions(pos, list) : GenerateAll(pos, list);
    uint64_t total = depth >= 1 ? 0 : 1;
    for (int i = 0; i < n; i++) {
        if (!MakeMove(list[i], pos)) continue;
        const uint64_t nodes = Perft(pos, depth - 1);
        UnmakeMove(pos);
        char text[5];
        FormatMove(list[i].from, list[i].to, text);
        char line[48];
        std::snprintf(line, sizeof line, "%s: %llu\n", text, (unsigned long long)nodes);
        WriteChannel(out, line);
        total += nodes;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char line[64];
    std::snprintf(line, sizeof line, "\nNodes searched: %llu\n", (unsigned long long)total);
    WriteChannel(out, line);
    std::fprintf(stderr, "Time: %.3f s\nNodes/second: %.0f\n", seconds,
                 seconds > 0 ? double(total) / seconds : 0.0);
    return 0;
}
