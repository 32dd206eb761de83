// One engine process: its handshake, new games, and asking it for a move.

#include "support/match/match_engine.h"

#include <chrono>
#include <cstring>

#include "support/match/match.h"

namespace {

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Send(EnginePlayer& player, const std::string& line) {
    WriteChannel(player.child.channel, (line + "\n").c_str());
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

LineStatus NextLine(EnginePlayer& player, std::string& line, int64_t deadlineMs) {
    static thread_local char piece[LineBufferSize];
    for (;;) {
        // An engine's line too long to read whole comes out empty.
        if (ReadLine(player.child.channel, piece)) {
            line = piece;
            return LineRead;
        }
        if (AtEndOfInput(player.child.channel)) return LineEnded;
        if (NowMs() >= deadlineMs) return LineLate;
        SleepMilliseconds(1);
    }
}

// Reads until a line starts with `wanted`.
bool WaitFor(EnginePlayer& player, const char* wanted, int64_t timeoutMs, std::string* seen) {
    const int64_t deadline = NowMs() + timeoutMs;
    std::string line;
    while (NextLine(player, line, deadline) == LineRead) {
        if (seen) *seen += line + "\n";
        if (StartsWith(line, wanted)) return true;
    }
    return false;
}

bool StartEngine(EnginePlayer& player, const EngineSettings& settings, int64_t timeoutMs) {
    player.settings = settings;
    player.running = OpenChildChannel(player.child, settings.command.c_str());
    if (!player.running) return false;
    std::string said;
    Send(player, settings.uci ? "uci" : "ucci");
    if (!WaitFor(player, settings.uci ? "uciok" : "ucciok", timeoutMs, &said)) {
        StopEngine(player);
        return false;
    }
    if (!settings.ranksGiven && said.find("Fairy-Stockfish") != std::string::npos)
        player.settings.ranks = RanksFromOne;
    if (settings.uci) Send(player, "setoption name UCI_Variant value xiangqi");
    for (const auto& option : settings.options) {
        Send(player, settings.uci ? "setoption name " + option.first + " value " + option.second
                                  : "setoption " + option.first + " " + option.second);
    }
    Send(player, "isready");
    if (!WaitFor(player, "readyok", timeoutMs, nullptr)) {
        StopEngine(player);
        return false;
    }
    return true;
}

void NewGame(EnginePlayer& player) {
    Send(player, player.settings.uci ? "ucinewgame" : "setoption newgame");
    Send(player, "isready");
    if (!WaitFor(player, "readyok", 10000, nullptr)) StopEngine(player);
}

void StopEngine(EnginePlayer& player) {
    if (!player.running) return;
    Send(player, "quit");
    CloseChildChannel(player.child);
    player.running = false;
}

Answer AskForMove(EnginePlayer& player, const std::string& position, const std::string& go,
                  int64_t waitMs) {
    Answer answer{AnswerSilent, "", 0};
    Send(player, position);
    Send(player, go);
    const int64_t start = NowMs();
    std::string line;
    for (;;) {
        const LineStatus status = NextLine(player, line, start + waitMs);
        answer.elapsedMs = NowMs() - start;
        if (status == LineEnded) {
            answer.kind = AnswerEnded;
            return answer;
        }
        if (status == LineLate) return answer;
        if (line == "nobestmove" || line == "bestmove (none)") {
            answer.kind = AnswerNoMove;
            return answer;
        }
        if (StartsWith(line, "bestmove ")) {
            const size_t end = line.find(' ', 9);
            answer.move = line.substr(9, end == std::string::npos ? std::string::npos : end - 9);
            answer.kind = AnswerMove;
            return answer;
        }
    }
}
