// match: two engines play games from an openings file, each opening with
// both colours, under a clock (base + increment, milliseconds) or a fixed
// depth or node count; the referee applies the rules of src/rules.
//
// usage: match --engine cmd=PATH [proto=ucci|uci] [name=NAME] [ranks=0|1]
//                       [option.NAME=VALUE ...]
//              --engine ...   (the second engine)
//              [--tc BASE+INC] [--depth D] [--nodes N] [--openings FILE]
//              [--games N] [--concurrency N] [--fresh] [--sprt ELO0 ELO1]
//              [--pgn FILE] [--grace MS] [--max-plies N]

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "position/random.h"
#include "support/match/match.h"

namespace {

bool ParseEngine(int& i, int argc, char** argv, EngineSettings& settings) {
    while (i + 1 < argc && argv[i + 1][0] != '-') {
        const std::string word = argv[++i];
        const size_t eq = word.find('=');
        if (eq == std::string::npos) return false;
        const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
        if (key == "cmd") {
            settings.command = value;
        } else if (key == "name") {
            settings.name = value;
        } else if (key == "proto") {
            if (value != "uci" && value != "ucci") return false;
            settings.uci = value == "uci";
        } else if (key == "ranks") {
            settings.ranks = value == "1" ? RanksFromOne : RanksFromZero;
            settings.ranksGiven = true;
        } else if (key.compare(0, 7, "option.") == 0) {
            settings.options.push_back({key.substr(7), value});
        } else {
            return false;
        }
    }
    if (settings.name.empty()) {
        const size_t slash = settings.command.find_last_of('/');
        settings.name = settings.command.substr(slash == std::string::npos ? 0 : slash + 1);
        settings.name = settings.name.substr(0, settings.name.find(' '));
    }
    return !settings.command.empty();
}

bool ParseArguments(int argc, char** argv, MatchSettings& s) {
    int engines = 0;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--engine" && engines < 2) {
            if (!ParseEngine(i, argc, argv, s.engines[engines++])) return false;
        } else if (arg == "--tc" && hasValue) {
            const std::string tc = argv[++i];
            const size_t plus = tc.find('+');
            s.baseMs = std::atoll(tc.c_str());
            s.incrementMs = plus == std::string::npos ? 0 : std::atoll(tc.c_str() + plus + 1);
        } else if (arg == "--depth" && hasValue) {
            s.depth = std::atoll(argv[++i]);
        } else if (arg == "--nodes" && hasValue) {
            s.nodes = std::atoll(argv[++i]);
        } else if (arg == "--openings" && hasValue) {
            s.openingsFile = argv[++i];
        } else if (arg == "--games" && hasValue) {
            s.games = std::atoi(argv[++i]);
        } else if (arg == "--concurrency" && hasValue) {
            s.concurrency = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--fresh") {
            s.freshProcesses = true;
        } else if (arg == "--sprt" && i + 2 < argc) {
            s.sprt = true;
            s.elo0 = std::atof(argv[++i]);
            s.elo1 = std::atof(argv[++i]);
        } else if (arg == "--pgn" && hasValue) {
            s.pgnFile = argv[++i];
        } else if (arg == "--grace" && hasValue) {
            s.graceMs = std::atoll(argv[++i]);
        } else if (arg == "--max-plies" && hasValue) {
            s.maxPlies = std::atoi(argv[++i]);
        } else {
            return false;
        }
    }
    return engines == 2 && s.games > 0;
}

struct Match {
    Match(const MatchSettings& s, const std::vector<Opening>& o) : settings(s), openings(o) {}
    const MatchSettings& settings;
    const std::vector<Opening>& openings;
    std::atomic<int> next{0};
    std::atomic<bool> decided{false};
    std::mutex lock;
    MatchScore score;  // the first engine's
    int finished = 0;
    std::map<std::string, int> terminations;
    std::FILE* pgn = nullptr;
};

void Report(Match& match, int index, const GameResult& game, int redEngine) {
    std::lock_guard<std::mutex> guard(match.lock);
    const MatchSettings& s = match.settings;
    const int firstScore = game.outcome == GameDrawn                         ? 1
                           : ((game.outcome == RedWins) == (redEngine == 0)) ? 2
                                                                             : 0;
    if (firstScore == 2) match.score.wins++;
    if (firstScore == 1) match.score.draws++;
    if (firstScore == 0) match.score.losses++;
    match.finished++;
    match.terminations[game.termination]++;
    const std::string& red = s.engines[redEngine].name;
    const std::string& black = s.engines[redEngine ^ 1].name;
    const char* result = game.outcome == RedWins     ? "1-0"
                         : game.outcome == BlackWins ? "0-1"
                                                     : "1/2-1/2";
    std::printf(
        "Game %d of %d (opening %d): %s (red) vs %s (black): %s {%s} %zu plies; score %d-%d-%d\n",
        index + 1, s.games, index / 2 % int(match.openings.size()) + 1, red.c_str(), black.c_str(),
        result, game.termination.c_str(), game.moves.size(), match.score.wins, match.score.losses,
        match.score.draws);
    std::fflush(stdout);
    if (match.pgn) {
        std::fputs(PgnOfGame(game, red, black, index + 1).c_str(), match.pgn);
        std::fflush(match.pgn);
    }
    if (s.sprt) {
        const double llr = SprtLogLikelihood(match.score, s.elo0, s.elo1);
        if (llr >= SprtUpperBound() || llr <= SprtLowerBound()) match.decided = true;
    }
}

void Worker(Match& match) {
    const MatchSettings& s = match.settings;
    EnginePlayer players[2];
    for (;;) {
        if (match.decided) break;
        const int index = match.next++;
        if (index >= s.games) break;
        const Opening& opening = match.openings[size_t(index / 2) % match.openings.size()];
        const int redEngine = index % 2;
        GameResult game{GameDrawn, "", {}, ""};
        bool started = true;
        for (int e = 0; e < 2 && started; e++) {
            if (players[e].running && !s.freshProcesses) {
                NewGame(players[e]);
                if (players[e].running) continue;
            }
            if (!StartEngine(players[e], s.engines[e], 20000)) {
                started = false;
                game.outcome = (e == redEngine) ? BlackWins : RedWins;
                game.termination =
                    std::string(e == redEngine ? "red" : "black") + " engine did not start";
            }
        }
        if (started) {
            EnginePlayer* seats[2] = {&players[redEngine], &players[redEngine ^ 1]};
            game = PlayOneGame(s, seats, opening);
        }
        if (s.freshProcesses)
            for (EnginePlayer& p : players) StopEngine(p);
        Report(match, index, game, redEngine);
    }
    for (EnginePlayer& p : players) StopEngine(p);
}

void Summary(Match& match) {
    const MatchSettings& s = match.settings;
    const MatchScore& score = match.score;
    const int n = score.Games();
    std::printf("\nScore of %s vs %s: %d - %d - %d  [%.3f] %d\n", s.engines[0].name.c_str(),
                s.engines[1].name.c_str(), score.wins, score.losses, score.draws,
                n ? (score.wins + 0.5 * score.draws) / n : 0.0, n);
    double elo, margin;
    if (EloEstimate(score, elo, margin))
        std::printf("Elo difference: %.1f +/- %.1f (95%%)\n", elo, margin);
    else
        std::printf("Elo difference: %s (no finite estimate)\n", score.wins ? "+inf" : "-inf");
    if (s.sprt) {
        const double llr = SprtLogLikelihood(score, s.elo0, s.elo1);
        const char* verdict = llr >= SprtUpperBound()   ? "H1 accepted"
                              : llr <= SprtLowerBound() ? "H0 accepted"
                                                        : "no decision yet";
        std::printf(
            "SPRT: elo0 %.1f elo1 %.1f alpha 0.05 beta 0.05: llr %.2f, bounds %.2f %.2f: %s\n",
            s.elo0, s.elo1, llr, SprtLowerBound(), SprtUpperBound(), verdict);
    }
    std::printf("Terminations:\n");
    for (const auto& t : match.terminations) std::printf("  %4d  %s\n", t.second, t.first.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    MatchSettings settings;
    if (!ParseArguments(argc, argv, settings)) {
        std::fprintf(stderr,
                     "usage: match --engine cmd=PATH [proto=ucci|uci] [name=NAME] [ranks=0|1] "
                     "[option.NAME=VALUE ...] --engine ... [--tc BASE+INC] [--depth D] "
                     "[--nodes N] [--openings FILE] [--games N] [--concurrency N] [--fresh] "
                     "[--sprt ELO0 ELO1] [--pgn FILE] [--grace MS] [--max-plies N]\n");
        return 2;
    }
    SeedRandom(1);
    InitTables();
    std::vector<Opening> openings;
    std::string error;
    if (settings.openingsFile.empty()) {
        openings.push_back(Opening{});
    } else if (!ReadOpenings(settings.openingsFile, openings, error)) {
        std::fprintf(stderr, "match: %s\n", error.c_str());
        return 2;
    }
    Match match(settings, openings);
    if (!settings.pgnFile.empty()) {
        match.pgn = std::fopen(settings.pgnFile.c_str(), "w");
        if (!match.pgn) {
            std::fprintf(stderr, "match: cannot write %s\n", settings.pgnFile.c_str());
            return 2;
        }
    }
    std::vector<std::thread> workers;
    for (int i = 0; i < settings.concurrency; i++) workers.emplace_back(Worker, std::ref(match));
    for (std::thread& w : workers) w.join();
    if (match.pgn) std::fclose(match.pgn);
    Summary(match);
    return 0;
}
