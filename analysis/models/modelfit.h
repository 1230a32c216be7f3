#pragma once

#include "analysis/distributionfits.h"
#include "analysis/models/modelunit.h"

#include <QString>

#include <algorithm>
#include <span>
#include <vector>

// What the units' fits share: moments, refusals and the check of the fitted parameters.
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
// All values equal, or as good as.
QString NoSpreadText();
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
