#pragma once

#include "statistics/distributions.h"
#include "statistics/models/modelfit.h"

#include <optional>
#include <span>

// The pieces of the fits that the comparison and the tests use beyond FitModel.

// FitModel on a prepared sample with the plotting positions of alpha (the sample's scores are
// those of the same alpha). A resampling routine passes
// the whole series' fit as start for each resampled one: sqrtet climbs from its b (as startB of
// FitSqrtet), the other models fit afresh. Never throws.
FittedModel FitSample(ModelId id, const Sample& sample, double alpha,
                      const FittedModel* start = nullptr);

// The SQRT-ET maximum-likelihood fit. Without startB the profile likelihood is scanned at all
// 801 points of its range. With it (the jackknife passes the whole series' b) Newton's method
// on the profile's slope starts from startB: where the profile has one maximum its root is the
// b the scan refines to. A start that does not converge to a maximum well inside the range
// scans in full.
FittedModel FitSqrtet(std::span<const double> sorted, std::optional<double> startB = std::nullopt);
// The profile log-likelihood's derivative times 2b, whose root is the fitted b.
double SqrtetProfileSlope(std::span<const double> values, double b);
double SqrtetProfileLogLikelihood(std::span<const double> values, double b);
