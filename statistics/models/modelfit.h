#pragma once

#include "statistics/distributions.h"
#include "statistics/series.h"

#include <QString>

#include <algorithm>
#include <array>
#include <span>
#include <vector>

// What the distributions' fits share: the prepared sample, its moments and L-moments, the
// refusals and the check of the fitted parameters.

// A model's parameters in the order of its parameter names; the unused ones are 0.
using ModelParameters = std::array<double, 4>;

// Sorted values with what several fits take of each: computed once for a whole jackknife, whose
// leave-one-out samples are the same arrays without one element.
struct Sample {
    std::span<const double> x;
    std::span<const double> ln;
    std::span<const double> log10;
    std::span<const double> root; // √x
    // Φ⁻¹ of the plotting positions (i − α)/(N + 1 − 2α), i = 1 … N: the same for every sample
    // of one size, so a resampling computes them once.
    std::span<const double> scores;
};
// The arrays of a Sample of sorted values.
struct SampleArrays {
    std::vector<double> ln;
    std::vector<double> log10;
    std::vector<double> root;
    std::vector<double> scores;
    SampleArrays(std::span<const double> sorted, double alpha);
    // The arrays of other sorted values of the same size (a resample): the scores stay.
    void refill(std::span<const double> sorted);
    Sample of(std::span<const double> sorted) const { return {sorted, ln, log10, root, scores}; }
};
// Φ⁻¹((i − α)/(n + 1 − 2α)) for i = 1 … n.
std::vector<double> NormalScores(size_t n, double alpha);

// Sample L-moments of sorted values (unbiased probability-weighted moments, n >= 3).
struct LMoments {
    double l1 = 0;
    double l2 = 0;
    double t3 = 0;
};
LMoments SampleLMoments(std::span<const double> sorted);

namespace models {

// Euler's γ, the mean of the standard Gumbel.
inline constexpr double kEulerGamma = 0.5772156649015329;

// Mean and standard deviation (divisor n - 1).
struct Moments {
    double mean = 0;
    double sd = 0;
};
Moments MomentsOf(std::span<const double> y);

// The same of f(x), with f evaluated once per value.
template <typename F> Moments MomentsOf(std::span<const double> x, F f) {
    std::vector<double> y(x.size());
    std::transform(x.begin(), x.end(), y.begin(), f);
    return MomentsOf(y);
}

FittedModel Refuse(ModelId id, const QString& problem);
// "at least `needed` records"
QString TooFewText(int needed);
// A lower bound at or above the smallest value.
QString BoundNotBelowText();

// The model with parameters p, of which the first count must be finite numbers: otherwise not
// applicable.
FittedModel Made(ModelId id, const ModelParameters& p, int count);

// An estimator by the sample's L-moments, which need a spread.
FittedModel FitByLMoments(ModelId id, const Sample& s, FittedModel (*estimate)(const LMoments&));

// x(F), F(x) and s(x) of the log-normal with ln x ~ N(μ, σ): p = {μ, σ}.
double LogNormalQuantile(const ModelParameters& p, double F);
double LogNormalCdf(const ModelParameters& p, double x);
double LogNormalStandardVariable(const ModelParameters& p, double x);

} // namespace models
