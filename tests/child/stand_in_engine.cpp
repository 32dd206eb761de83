// stand_in_engine: a tiny engine for the match runner's tests, speaking UCCI
// (or UCI when the first line is "uci"), whose moves are chosen by its mode:
//   stand_in_engine illegal         answers every "go" with a move no piece can make
//   stand_in_engine crash           ends without a word at the first "go"
//   stand_in_engine silent          never answers "go"
//   stand_in_engine script M1 M2 .. plays M1, M2, ... in turn, then "nobestmove"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    int nextScripted = 2;
    char line[65536];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string command = line;
        while (!command.empty() && (command.back() == '\n' || command.back() == '\r'))
            command.pop_back();
        if (command == "uci") std::puts("id name stand-in\nuciok");
        if (command == "ucci") std::puts("id name stand-in\nucciok");
        if (command == "isready") std::puts("readyok");
        if (command == "quit") return 0;
        if (command.compare(0, 2, "go") == 0) {
            if (mode == "crash") return 3;
            if (mode == "illegal") std::puts("bestmove e0e5");
            if (mode == "script")
                std::puts(nextScripted < argc
                              ? (std::string("bestmove ") + argv[nextScripted++]).c_str()
                              : "nobestmove");
        }
        std::fflush(stdout);
    }
    return 0;
}
