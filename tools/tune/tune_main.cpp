// tune: Texel tuning of the modern evaluation from the match runner's games.
//
// usage: tune [--out FILE] [--iterations N] [--rate R] [--lambda L]
//             [--holdout N] [--skip-plies N] [--decided POINTS] PGN...
//
// Every N-th distinct game (10 by default) is held out and only measured.
// Starts from the classic evaluation's weights, fits the sigmoid's scale on
// them, tunes, and writes src/eval/modern_weights.cpp's text to FILE (or to
// standard output).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "position/random.h"
#include "position/tables.h"
#include "tune/tune.h"

namespace {

struct Arguments {
    std::string out;
    AdamSettings adam;
    int holdout = 10;
    SelectionRules rules;
    std::vector<std::string> pgns;
};

bool Parse(int argc, char** argv, Arguments& a) {
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--out" && hasValue) {
            a.out = argv[++i];
        } else if (arg == "--iterations" && hasValue) {
            a.adam.iterations = std::atoi(argv[++i]);
        } else if (arg == "--rate" && hasValue) {
            a.adam.rate = std::atof(argv[++i]);
        } else if (arg == "--lambda" && hasValue) {
            a.adam.lambda = std::atof(argv[++i]);
        } else if (arg == "--holdout" && hasValue) {
            a.holdout = std::atoi(argv[++i]);
        } else if (arg == "--skip-plies" && hasValue) {
            a.rules.skipPlies = std::atoi(argv[++i]);
        } else if (arg == "--decided" && hasValue) {
            a.rules.decidedMargin = std::atoi(argv[++i]);
        } else if (arg[0] == '-') {
            return false;
        } else {
            a.pgns.push_back(arg);
        }
    }
    return !a.pgns.empty() && a.holdout >= 2 && a.adam.iterations >= 0;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!Parse(argc, argv, args)) {
        std::fprintf(stderr,
                     "usage: tune [--out FILE] [--iterations N] [--rate R] [--lambda L]\n"
                     "            [--holdout N] [--skip-plies N] [--decided POINTS] PGN...\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    InitTables();

    std::vector<PgnGame> games;
    std::vector<std::string> errors;
    for (const std::string& path : args.pgns) {
        std::ifstream in(path);
        if (!in) {
            std::fprintf(stderr, "tune: cannot read %s\n", path.c_str());
            return 1;
        }
        for (PgnGame& g : ReadPgn(in, errors)) games.push_back(g);
    }
    // The engine plays a node count deterministically: equal games are one game.
    std::set<std::string> seen;
    std::vector<PgnGame> distinct;
    for (const PgnGame& g : games) {
        std::string key = g.fen;
        for (const std::string& m : g.moves) key += " " + m;
        if (seen.insert(key).second) distinct.push_back(g);
    }
    std::printf("games: %zu read, %zu distinct, %zu refused\n", games.size(), distinct.size(),
                errors.size());
    for (size_t i = 0; i < errors.size() && i < 5; i++) std::printf("  %s\n", errors[i].c_str());

    TrainingSet train, held;
    int heldGames = 0;
    for (size_t i = 0; i < distinct.size(); i++) {
        const bool isHeld = int(i % size_t(args.holdout)) == args.holdout - 1;
        heldGames += isHeld;
        std::string error;
        if (!AddGame(distinct[i], args.rules, isHeld ? held : train, error))
            std::printf("  %s\n", error.c_str());
    }
    std::printf("positions: %zu training (%zu games), %zu held out (%d games); %.1f s\n",
                train.samples.size(), distinct.size() - size_t(heldGames), held.samples.size(),
                heldGames, Seconds(started));

    std::vector<double> start(ModernWeightCount), weights(ModernWeightCount);
    WeightsToReals(ClassicModernWeights(), start.data());
    const double k = FitScale(train, start.data());
    std::printf("k = %.6f (sigmoid(k * evaluation))\n", k);
    const double trainBefore = MeanSquaredError(train, start.data(), k);
    const double heldBefore = MeanSquaredError(held, start.data(), k);
    std::printf("error before: training %.6f, held out %.6f\n", trainBefore, heldBefore);

    weights = start;
    TuneWeights(train, start.data(), k, args.adam, weights.data(), stdout);
    std::vector<double> rounded(ModernWeightCount);
    const ModernWeights tuned = WeightsFromReals(weights.data());
    WeightsToReals(tuned, rounded.data());
    const double trainAfter = MeanSquaredError(train, rounded.data(), k);
    const double heldAfter = MeanSquaredError(held, rounded.data(), k);
    std::printf("error after (rounded weights): training %.6f, held out %.6f; %.1f s\n", trainAfter,
                heldAfter, Seconds(started));

    char note[256];
    std::snprintf(note, sizeof note,
                  "%zu positions of %zu games, k %.6f, %d steps, rate %g, lambda %g;\n"
                  "// error %.5f -> %.5f, held out %.5f -> %.5f.",
                  train.samples.size(), distinct.size() - size_t(heldGames), k,
                  args.adam.iterations, args.adam.rate, args.adam.lambda, trainBefore, trainAfter,
                  heldBefore, heldAfter);
    const std::string source = WeightsSource(tuned, note);
    if (args.out.empty()) {
        std::fputs(source.c_str(), stdout);
    } else {
        std::ofstream out(args.out);
        out << source;
        if (!out) {
            std::fprintf(stderr, "tune: cannot write %s\n", args.out.c_str());
            return 1;
        }
    }
    return 0;
}
