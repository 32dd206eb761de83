#pragma once
// The match runner: two engine programs play games from a book of openings,
// each opening with both colours, refereed by the engine's own position
// library and the rules of src/rules. POSIX only.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "position/position.h"
#include "rules/rules.h"
#include "support/child_channel.h"

// How an engine writes ranks: Quillon and UCCI 0..9 from red's side,
// Fairy-Stockfish 1..10.
enum RankBase : uint8_t { RanksFromZero, RanksFromOne };

struct EngineSettings {
    std::string name;
    std::string command;
    bool uci = false;
    RankBase ranks = RanksFromZero;
    bool ranksGiven = false;  // else guessed from the engine's name
    std::vector<std::pair<std::string, std::string>> options;
};

struct MatchSettings {
    EngineSettings engines[2];
    int64_t baseMs = 10000, incrementMs = 100;
    int64_t nodes = 0, depth = 0;  // a fixed limit instead of the clock
    int64_t graceMs = 200;         // a clock may run this far below zero
    int64_t silenceMs = 60000;     // longest wait for an answer without a clock
    std::string openingsFile;
    int games = 2;
    int concurrency = 1;
    bool freshProcesses = false;  // a new process per game instead of a new-game command
    bool sprt = false;
    double elo0 = 0, elo1 = 5;
    std::string pgnFile;
    int maxPlies = 1000;  // then the game is a draw
};

// An opening: a position and moves from it.
struct Opening {
    std::string fen;  // empty: the start position
    std::vector<std::string> moves;
};

// Reads a file of lines of moves from the start position ("h2e2 h9g7 ..."), or
// of a FEN's six fields followed by "moves ..." ; '#' starts a comment line.
// Illegal lines are reported in `error` and the read fails.
bool ReadOpenings(const std::string& path, std::vector<Opening>& openings, std::string& error);
// Whether every move of the opening is legal from its position.
bool OpeningIsLegal(const Opening& opening);

// Moves between the engine's text and the board.
std::string MoveToEngine(Move m, RankBase ranks);
// 0 when the text is no move in that notation.
Move MoveFromEngine(const std::string& text, RankBase ranks);

// One engine process.
struct EnginePlayer {
    EngineSettings settings;
    ChildChannel child;
    bool running = false;
};
// Starts the program and waits for its handshake; false when it cannot.
bool StartEngine(EnginePlayer& player, const EngineSettings& settings, int64_t timeoutMs);
void NewGame(EnginePlayer& player);
void StopEngine(EnginePlayer& player);

enum GameOutcome : uint8_t { RedWins, BlackWins, GameDrawn };

struct GameResult {
    GameOutcome outcome;
    std::string termination;  // why the game ended, for the log
    std::vector<std::string> moves;
    std::string startFen;
};

// Plays one game; players[0] plays red. The players must have been started.
GameResult PlayOneGame(const MatchSettings& settings, EnginePlayer* players[2],
                       const Opening& opening);

// Statistics (match_stats.cpp), scores from the first engine's side.
struct MatchScore {
    int wins = 0, losses = 0, draws = 0;
    int Games() const { return wins + losses + draws; }
};
// Elo difference and the half width of its 95% interval; false when the
// score is all wins or all losses (no finite estimate).
bool EloEstimate(const MatchScore& score, double& elo, double& margin);
// The log-likelihood ratio of H1 (elo1) against H0 (elo0), from the normal
// approximation of the game scores.
double SprtLogLikelihood(const MatchScore& score, double elo0, double elo1);
// The bounds for alpha = beta = 0.05.
double SprtLowerBound();
double SprtUpperBound();

// PGN of a game: tags, then the moves in coordinate notation.
std::string PgnOfGame(const GameResult& game, const std::string& red, const std::string& black,
                      int round);
