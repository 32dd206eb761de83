#pragma once
// Texel tuning of the modern evaluation's weights: games read from the match
// runner's PGN, quiet positions taken from them with the game's result, and
// the weights fitted so that a sigmoid of the evaluation predicts the results.

#include <cstdint>
#include <cstdio>
#include <istream>
#include <string>
#include <vector>

#include "eval/eval_modern.h"
#include "position/position.h"

// ---------------------------------------------------------------------------
// PGN (pgn_reader.cpp): the tags and coordinate moves that tools/match writes.

struct PgnGame {
    std::string fen;  // empty: the start position
    std::vector<std::string> moves;
    double redScore;  // 1 red won, 0.5 drawn, 0 black won
    int firstLine;    // where the game's text begins, from 1
};

// Reads every game of the text. A game with a malformed line (a tag that is
// no [Name "value"], a word that is no move, no result or two that disagree)
// is left out and the fault reported in `errors` with its line number; the
// reading goes on with the next game.
std::vector<PgnGame> ReadPgn(std::istream& in, std::vector<std::string>& errors);

// ---------------------------------------------------------------------------
// Training positions (training_set.cpp)

// The modern features of one position as (weight, coefficient) pairs, the
// zero ones left out.
struct SparseFeature {
    uint16_t weight;
    int16_t coefficient;
};
struct Sample {
    uint32_t firstFeature;
    uint32_t featureCount;
    float redScore;
};
struct TrainingSet {
    std::vector<Sample> samples;
    std::vector<SparseFeature> features;
};

struct SelectionRules {
    int skipPlies = 10;  // the opening's positions say little about the result
    int32_t decidedMargin =
        500;  // from a classic evaluation this far from 0 on, the rest is left out
};

// Whether the position is one the static evaluation can be fitted on: the
// side to move is not in check and no capture sequence changes the classic
// evaluation (a capture-only search returns the static value).
bool IsQuietPosition(Position& pos);

// Adds a position with the result of its game.
void AddSample(const Position& pos, double redScore, TrainingSet& set);
// Replays a game and adds its quiet positions under the rules. False, and
// nothing added, when a move is not legal; `error` says which.
bool AddGame(const PgnGame& game, const SelectionRules& rules, TrainingSet& set,
             std::string& error);

// ---------------------------------------------------------------------------
// Fitting (texel.cpp). Weights as reals in their own units; the evaluation
// of a sample is red's sum(coefficient * weight / unit), without rounding.

double SampleEvaluation(const TrainingSet& set, const Sample& sample, const double* weights);
// Mean of (result - sigmoid(k * evaluation))^2.
double MeanSquaredError(const TrainingSet& set, const double* weights, double k);
// The error plus lambda * sum((weight - start)^2): the pull toward the
// starting weights, each in its own unit (a point for placements, a
// sixteenth of the classic term for the terms, which a unit moves by up to a
// few points).
double TuningObjective(const TrainingSet& set, const double* weights, const double* start, double k,
                       double lambda);
void TuningGradient(const TrainingSet& set, const double* weights, const double* start, double k,
                    double lambda, double* gradient);
// The k that minimises the mean squared error for these weights.
double FitScale(const TrainingSet& set, const double* weights);

struct AdamSettings {
    int iterations = 400;
    double rate = 0.5;  // in each weight's own unit per step, about
    double lambda = 1e-6;
};
// Full-batch Adam on the tuning objective; reports the error every
// `reportEvery` steps to `log` when given.
void TuneWeights(const TrainingSet& set, const double* start, double k,
                 const AdamSettings& settings, double* weights, std::FILE* log = nullptr,
                 int reportEvery = 50);

void WeightsToReals(const ModernWeights& weights, double* reals);
// Rounded to the nearest whole unit.
ModernWeights WeightsFromReals(const double* reals);

// ---------------------------------------------------------------------------
// Output (weights_source.cpp): the whole of src/eval/modern_weights.cpp.

std::string WeightsSource(const ModernWeights& weights, const std::string& note);
