#pragma once

#include "analysis/distributions.h"

#include <span>

// The pieces of the fits that the comparison and the tests use beyond FitModel.

// Sample L-moments of sorted values (unbiased probability-weighted moments, n >= 3).
struct LMoments {
    double l1 = 0;
    double l2 = 0;
    double t3 = 0;
};
LMoments SampleLMoments(std::span<const double> sorted);

// The SQRT-ET maximum-likelihood fit. Without startB the profile likelihood is scanned at all
// 801 points of its range; with it the scan climbs from the point nearest startB to the nearest
// higher neighbour until none is higher, which finds the same point whenever the profile has
// one maximum, and scans in full when the climb ends at an end of the range.
FittedModel FitSqrtet(std::span<const double> sorted, std::optional<double> startB = std::nullopt);
// The profile log-likelihood's derivative times 2b, whose root is the fitted b.
double SqrtetProfileSlope(std::span<const double> values, double b);
double SqrtetProfileLogLikelihood(std::span<const double> values, double b);
