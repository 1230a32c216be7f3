#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <cmath>

// The exponential by L-moments: F = 1 − exp(−(x − ξ)/α), p = {ξ, α}.

namespace {

constexpr ModelId kId = ModelId::Exp;

FittedModel Estimate(const LMoments& l) {
    const double alpha = 2 * l.l2;
    return models::Made(kId, {l.l1 - alpha, alpha}, 2);
}

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    return models::FitByLMoments(kId, s, Estimate);
}

double Quantile(const ModelParameters& p, double F) {
    return p[0] - p[1] * std::log1p(-F);
}

double StandardVariable(const ModelParameters& p, double x) {
    return (x - p[0]) / p[1];
}

double Cdf(const ModelParameters& p, double x) {
    if (!(x > p[0]))
        return 0;
    return -std::expm1(-StandardVariable(p, x));
}

} // namespace

const ModelUnit models::kExp{{"exp", "指数分布", "Exp", {"xi", "alpha", nullptr}},
                             3,
                             {Fit, Quantile, Cdf, StandardVariable}};
