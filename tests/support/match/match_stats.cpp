// Elo from a match score and the sequential probability ratio test, both
// from the normal approximation of a game's score (win 1, draw 1/2, loss 0).

#include <cmath>

#include "support/match/match.h"

namespace {

double ScoreOfElo(double elo) {
    return 1.0 / (1.0 + std::pow(10.0, -elo / 400.0));
}

double EloOfScore(double score) {
    return -400.0 * std::log10(1.0 / score - 1.0);
}

// The mean score and the variance of one game's score.
void Moments(const MatchScore& score, double& mean, double& variance) {
    const double n = score.Games();
    mean = (score.wins + 0.5 * score.draws) / n;
    variance = (score.wins * (1 - mean) * (1 - mean) + score.draws * (0.5 - mean) * (0.5 - mean) +
                score.losses * mean * mean) /
               n;
}

}  // namespace

bool EloEstimate(const MatchScore& score, double& elo, double& margin) {
    elo = margin = 0;
    if (score.Games() == 0) return true;
    double mean, variance;
    Moments(score, mean, variance);
    if (mean <= 0 || mean >= 1) return false;
    elo = EloOfScore(mean);
    const double spread = 1.959964 * std::sqrt(variance / score.Games());
    const double low = std::fmax(mean - spread, 1e-9), high = std::fmin(mean + spread, 1 - 1e-9);
    margin = (EloOfScore(high) - EloOfScore(low)) / 2;
    return true;
}

double SprtLogLikelihood(const MatchScore& score, double elo0, double elo1) {
    if (score.Games() == 0) return 0;
    double mean, variance;
    Moments(score, mean, variance);
    if (variance <= 0) return 0;
    const double s0 = ScoreOfElo(elo0), s1 = ScoreOfElo(elo1);
    return score.Games() * (s1 - s0) * (2 * mean - s0 - s1) / (2 * variance);
}

double SprtLowerBound() {
    return std::log(0.05 / (1 - 0.05));
}

double SprtUpperBound() {
    return std::log((1 - 0.05) / 0.05);
}
