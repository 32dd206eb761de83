// The engine core both protocols share.

#include "shell/engine.h"

#include "position/tables.h"
#include "shell/options.h"

namespace {

// The book's score for its moves, as the reports show it.
constexpr int16_t BookScore = 1000;

void TellBookFaults(void* context, const MoveTextFaults& faults) {
    WriteMoveTextFaults(*static_cast<Engine*>(context), faults);
}

}  // namespace

bool InitEngine(Engine& engine) {
    OpenOnStreams(engine.channel, NoStream, NoStream);
    engine.channel.InputEnded = true;
    engine.booted = false;
    engine.introduced = false;
    engine.prepared = false;
    engine.positionSet = false;
    engine.probeSet = false;
    engine.maxDepth = DefaultDepthLimit;
    engine.useMillisec = true;
    engine.quitting = false;
    engine.uci = false;
    engine.infinite = false;
    engine.lines = 1;
    engine.analysing = false;
    engine.limitStrength = false;
    engine.elo = StrongestElo;
    engine.searchStart = 0;
    if (!InitSearchState(engine.search)) return false;
    ApplyDefaultOptions(engine);
    return true;
}

void PrepareEngine(Engine& engine) {
    if (engine.prepared) return;
    EnsureTables();
    const BookComplaints complaints{&engine, TellBookFaults};
    LoadBook(engine.book, &complaints);
    engine.prepared = true;
}

Position& GamePosition(Engine& engine) {
    if (!engine.positionSet) {
        LoadFen(StartFen, engine.game);
        engine.positionSet = true;
    }
    return engine.game;
}

bool LoadGameWords(Engine& engine, Position& pos, const char* fen, char* const* moves, int count,
                   IllegalMoveRule rule) {
    // The moves belong to the refused position, not to the one kept.
    if (!LoadFen(fen ? fen : StartFen, pos)) {
        WriteMessage(engine, "position refused: no game reaches it");
        return false;
    }
    for (int i = 0; i < count; i++) {
        if (rule == StopAtIllegalMove && !IsMoveText(moves[i])) return true;
        MoveTextFaults faults;
        MoveRecord record = ParseMoveString(moves[i], &faults);
        WriteMoveTextFaults(engine, faults);
        if (!PlayGameMove(pos, record) && rule == StopAtIllegalMove) return true;
    }
    return true;
}

PollAnswer PollDuringSearch(Engine& engine) {
    static char line[LineBufferSize];
    static char* words[WordListSize];
    if (!ReadLine(engine.channel, line))
        return AtEndOfInput(engine.channel) ? PollStop : PollContinue;
    if (engine.channel.LastLineOverlong) {
        RefuseOverlongLine(engine);
        return PollContinue;
    }
    const int count = SplitWords(line, words, WordListSize);
    if (!engine.uci) EchoWords(engine.channel, words, count);
    switch (KeywordOf(WordAt(words, count, 0))) {
        case TokenStop:
            return PollStop;
        case TokenQuit:
            engine.quitting = true;
            return PollStop;
        case TokenIsReady:
            WriteChannel(engine.channel, "readyok\n");
            return PollContinue;
        case TokenPonderHit:
            return engine.infinite ? PollContinue : PollPonderHit;
        default:
            return PollContinue;
    }
}

bool ChooseBookAnswer(Engine& engine, SearchAnswer& answer) {
    Move move = 0;
    if (!engine.useBook || !ChooseBookMove(engine.book, GamePosition(engine), move)) return false;
    answer = SearchAnswer{};
    answer.best = move;
    answer.score = BookScore;
    answer.bound = ScoreExact;
    answer.pv.found = true;
    answer.pv.listed = answer.pv.legal = 1;
    answer.pv.moves[0] = move;
    return true;
}

void ServeLines(Engine& engine, bool (*runLine)(Engine& engine, char* line)) {
    static char line[LineBufferSize];
    for (;;) {
        if (ReadLine(engine.channel, line)) {
            if (engine.channel.LastLineOverlong) {
                RefuseOverlongLine(engine);
                continue;
            }
            if (!runLine(engine, line)) return;
            continue;
        }
        // A front end that has gone sends nothing more: leave without a word.
        if (AtEndOfInput(engine.channel)) return;
        SleepMilliseconds(1);
    }
}
