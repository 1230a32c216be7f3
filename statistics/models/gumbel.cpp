#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <cmath>
#include <numbers>

// The Gumbel by L-moments: F = exp(−exp(−(x − ξ)/α)), p = {ξ, α}.

namespace {

constexpr ModelId kId = ModelId::Gumbel;

FittedModel Estimate(const LMoments& l) {
    const double alpha = l.l2 / std::numbers::ln2;
    return models::Made(kId, {l.l1 - models::kEulerGamma * alpha, alpha}, 2);
}

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    return models::FitByLMoments(kId, s, Estimate);
}

double Quantile(const ModelParameters& p, double F) {
    return p[0] - p[1] * std::log(-std::log(F));
}

double StandardVariable(const ModelParameters& p, double x) {
    return (x - p[0]) / p[1];
}

double Cdf(const ModelParameters& p, double x) {
    return std::exp(-std::exp(-StandardVariable(p, x)));
}

} // namespace

const ModelUnit models::kGumbel{{"gumbel", "グンベル分布", "Gumbel", {"xi", "alpha", nullptr}},
                                3,
                                {Fit, Quantile, Cdf, StandardVariable}};
