// The Texel fit: the mean squared error between the results and a sigmoid of
// the evaluation, its gradient, the sigmoid's scale, and Adam.

#include <cmath>
#include <vector>

#include "tune/tune.h"

namespace {

double Sigmoid(double x) {
    return 1.0 / (1.0 + std::exp(-x));
}

}  // namespace

double SampleEvaluation(const TrainingSet& set, const Sample& sample, const double* weights) {
    double sum = 0;
    const SparseFeature* f = &set.features[sample.firstFeature];
    for (uint32_t i = 0; i < sample.featureCount; i++)
        sum += f[i].coefficient * weights[f[i].weight] / WeightUnit(f[i].weight);
    return sum;
}

double MeanSquaredError(const TrainingSet& set, const double* weights, double k) {
    if (set.samples.empty()) return 0;
    double sum = 0;
    for (const Sample& s : set.samples) {
        const double miss = s.redScore - Sigmoid(k * SampleEvaluation(set, s, weights));
        sum += miss * miss;
    }
    return sum / double(set.samples.size());
}

double TuningObjective(const TrainingSet& set, const double* weights, const double* start, double k,
                       double lambda) {
    double pull = 0;
    for (int i = 0; i < ModernWeightCount; i++) {
        const double d = weights[i] - start[i];
        pull += d * d;
    }
    return MeanSquaredError(set, weights, k) + lambda * pull;
}

void TuningGradient(const TrainingSet& set, const double* weights, const double* start, double k,
                    double lambda, double* gradient) {
    for (int i = 0; i < ModernWeightCount; i++) gradient[i] = 2 * lambda * (weights[i] - start[i]);
    if (set.samples.empty()) return;
    const double n = double(set.samples.size());
    for (const Sample& s : set.samples) {
        const double p = Sigmoid(k * SampleEvaluation(set, s, weights));
        // d/dw (r - p)^2 = -2 (r - p) p (1 - p) k de/dw
        const double factor = -2 * (s.redScore - p) * p * (1 - p) * k / n;
        const SparseFeature* f = &set.features[s.firstFeature];
        for (uint32_t i = 0; i < s.featureCount; i++)
            gradient[f[i].weight] += factor * f[i].coefficient / WeightUnit(f[i].weight);
    }
}

double FitScale(const TrainingSet& set, const double* weights) {
    // Golden-section search on log k: the error is unimodal in k for any
    // data with both wins and losses.
    double low = std::log(1e-5), high = std::log(1.0);
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double a = high - ratio * (high - low), b = low + ratio * (high - low);
    double ea = MeanSquaredError(set, weights, std::exp(a));
    double eb = MeanSquaredError(set, weights, std::exp(b));
    for (int i = 0; i < 60; i++) {
        if (ea < eb) {
            high = b;
            b = a;
            eb = ea;
            a = high - ratio * (high - low);
            ea = MeanSquaredError(set, weights, std::exp(a));
        } else {
            low = a;
            a = b;
            ea = eb;
            b = low + ratio * (high - low);
            eb = MeanSquaredError(set, weights, std::exp(b));
        }
    }
    return std::exp((low + high) / 2);
}

void TuneWeights(const TrainingSet& set, const double* start, double k,
                 const AdamSettings& settings, double* weights, std::FILE* log, int reportEvery) {
    const double beta1 = 0.9, beta2 = 0.999, epsilon = 1e-12;
    std::vector<double> gradient(ModernWeightCount), m(ModernWeightCount), v(ModernWeightCount);
    for (int step = 1; step <= settings.iterations; step++) {
        TuningGradient(set, weights, start, k, settings.lambda, gradient.data());
        const double c1 = 1 - std::pow(beta1, step), c2 = 1 - std::pow(beta2, step);
        for (int i = 0; i < ModernWeightCount; i++) {
            m[i] = beta1 * m[i] + (1 - beta1) * gradient[i];
            v[i] = beta2 * v[i] + (1 - beta2) * gradient[i] * gradient[i];
            weights[i] -= settings.rate * (m[i] / c1) / (std::sqrt(v[i] / c2) + epsilon);
        }
        if (log && (step % reportEvery == 0 || step == settings.iterations))
            std::fprintf(log, "step %d: error %.6f objective %.6f\n", step,
                         MeanSquaredError(set, weights, k),
                         TuningObjective(set, weights, start, k, settings.lambda));
    }
}

void WeightsToReals(const ModernWeights& weights, double* reals) {
    for (int i = 0; i < ModernWeightCount; i++) reals[i] = WeightAt(weights, i);
}

ModernWeights WeightsFromReals(const double* reals) {
    ModernWeights weights{};
    for (int i = 0; i < ModernWeightCount; i++)
        SetWeightAt(weights, i, int32_t(std::lround(reals[i])));
    return weights;
}
