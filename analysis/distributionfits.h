#pragma once

#include "analysis/distributions.h"

#include <span>

// The pieces of the fits that the comparison and the tests use beyond FitModel.

// Sorted values with what several fits take of each: computed once for a whole jackknife, whose
// leave-one-out samples are the same arrays without one element.
struct Sample {
    std::span<const double> x;
    std::span<const double> ln;
    std::span<const double> log10;
    std::span<const double> root; // √x
};
// The arrays of a Sample of sorted values.
struct SampleArrays {
    std::vector<double> ln;
    std::vector<double> log10;
    std::vector<double> root;
    explicit SampleArrays(std::span<const double> sorted);
    Sample of(std::span<const double> sorted) const { return {sorted, ln, log10, root}; }
};

// FitModel on a prepared sample with the plotting positions of alpha. A resampling routine passes
// the whole series' fit as start for each resampled one: sqrtet climbs from its b (as startB of
// FitSqrtet), the other models fit afresh. Never throws.
FittedModel FitSample(ModelId id, const Sample& sample, double alpha,
                      const FittedModel* start = nullptr);

// Sample L-moments of sorted values (unbiased probability-weighted moments, n >= 3).
struct LMoments {
    double l1 = 0;
    double l2 = 0;
    double t3 = 0;
};
LMoments SampleLMoments(std::span<const double> sorted);

// The SQRT-ET maximum-likelihood fit. Without startB the profile likelihood is scanned at all
// 801 points of its range. With it (the jackknife passes the whole series' b) Newton's method
// on the profile's slope starts from startB: where the profile has one maximum its root is the
// b the scan refines to. A start that does not converge to a maximum well inside the range
// scans in full.
FittedModel FitSqrtet(std::span<const double> sorted, std::optional<double> startB = std::nullopt);
// The profile log-likelihood's derivative times 2b, whose root is the fitted b.
double SqrtetProfileSlope(std::span<const double> values, double b);
double SqrtetProfileLogLikelihood(std::span<const double> values, double b);
