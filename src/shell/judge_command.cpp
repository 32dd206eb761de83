// "quillon judge FEN-FIELDS [moves m1 m2 ...]": plays the moves and says
// whether the game ends there by the rules of repetition, the quiet-ply count
// or the lack of a legal move, and how.

#include <cstdio>
#include <cstring>
#include <string>

#include "position/position.h"
#include "position/random.h"
#include "rules/rules.h"
#include "shell/line_channel.h"
#include "shell/shell.h"

int RunJudgeCommand(int argc, char** argv) {
    int movesAt = 0;
    while (movesAt < argc && std::strcmp(argv[movesAt], "moves") != 0) movesAt++;
    std::string fen;
    for (int i = 0; i < movesAt; i++) {
        if (i > 0) fen += ' ';
        fen += argv[i];
    }
    if (fen.empty()) {
        std::fprintf(stderr, "usage: quillon judge FEN-FIELDS|startpos [moves m1 m2 ...]\n");
        return 2;
    }
    if (fen == "startpos") fen = StartFen;

    // Repetitions are found by keys: fixed ones make every run alike.
    SeedRandom(1);
    InitTables();
    static Position pos;
    static GameRecord game;
    static LineChannel out;
    OpenOnStreams(out, NoStream, StandardOutputStream());
    if (!LoadFen(fen.c_str(), pos)) {
        WriteChannel(out, "illegal position\n");
        return 1;
    }
    StartRecord(game, pos);
    for (int i = movesAt + 1; i < argc; i++) {
        const char* text = argv[i];
        const bool played =
            IsMoveText(text) && PlayRecordedMove(pos, game, MoveOf(ParseMoveString(text)));
        if (!played) {
            const std::string line = std::string("illegal move ") + text + " at ply " +
                                     std::to_string(i - movesAt) + "\n";
            WriteChannel(out, line.c_str());
            return 1;
        }
    }
    WriteChannel(out, RulingText(JudgeGameEnd(pos, HistoryOf(game), StandardRules)));
    WriteChannel(out, "\n");
    return 0;
}
