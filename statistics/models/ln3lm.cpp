#include "statistics/mathfunctions.h"
#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <cmath>
#include <numbers>

// Hosking's generalized normal by L-moments: p = {ξ, α, k}. A negative k is the log-normal with
// the lower bound ξ − α/|k|, a positive one has the upper bound ξ + α/k.

namespace {

constexpr ModelId kId = ModelId::Ln3Lm;

FittedModel Estimate(const LMoments& l) {
    const double t = l.t3;
    // The rational approximation of the shape holds for |τ3| < 0.95 only.
    if (!(std::fabs(t) < 0.95))
        return models::Refuse(
            kId, QStringLiteral("L歪度が大きすぎて（|τ3| ≥ 0.95）当てはめられません。"));
    if (t == 0)
        return models::Made(kId, {l.l1, l.l2 * std::sqrt(std::numbers::pi), 0}, 3);
    const double t2 = t * t;
    const double k = -t * (2.0466534 + t2 * (-3.6544371 + t2 * (1.8396733 + t2 * -0.20360244))) /
                     (1 + t2 * (-2.0182173 + t2 * (1.2420401 + t2 * -0.21741801)));
    const double alpha = l.l2 * k * std::exp(-k * k / 2) / Erf(k / 2);
    const double xi = l.l1 + alpha * std::expm1(k * k / 2) / k;
    return models::Made(kId, {xi, alpha, k}, 3);
}

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    return models::FitByLMoments(kId, s, Estimate);
}

double Quantile(const ModelParameters& p, double F) {
    const double z = StandardNormalQuantile(F);
    if (p[2] == 0)
        return p[0] + p[1] * z;
    return p[0] - p[1] / p[2] * std::expm1(-p[2] * z);
}

double StandardVariable(const ModelParameters& p, double x) {
    if (p[2] == 0)
        return (x - p[0]) / p[1];
    return -std::log1p(-p[2] * (x - p[0]) / p[1]) / p[2];
}

double Cdf(const ModelParameters& p, double x) {
    // Beyond the bound ξ + α/k: above it for k > 0, below it for k < 0.
    if (p[2] != 0 && !(-p[2] * (x - p[0]) / p[1] > -1))
        return p[2] > 0 ? 1 : 0;
    return StandardNormalCdf(StandardVariable(p, x));
}

} // namespace

const ModelUnit models::kLn3Lm{
    {"ln3_lm", "対数正規分布3母数（L積率法）", "LN3LM", {"xi", "alpha", "k"}},
    3,
    {Fit, Quantile, Cdf, StandardVariable}};
