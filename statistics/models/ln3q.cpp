#include "statistics/mathfunctions.h"
#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <cmath>

// The three-parameter log-normal with the quantile lower bound: ln(x − ζ) ~ N(μ, σ),
// p = {ζ, μ, σ}.

namespace {

constexpr ModelId kId = ModelId::Ln3Q;

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    const std::span<const double> x = s.x;
    const size_t n = x.size();
    const double median = n % 2 ? x[n / 2] : (x[n / 2 - 1] + x[n / 2]) / 2;
    const double smallest = x[0];
    const double largest = x[n - 1];
    const double denominator = smallest + largest - 2 * median;
    if (!(denominator > 0))
        return models::Refuse(kId, QStringLiteral("下限値を求める式の分母が正になりません。"));
    const double zeta = (smallest * largest - median * median) / denominator;
    if (!(zeta < smallest))
        return models::Refuse(kId, models::BoundNotBelowText());
    const models::Moments m = models::MomentsOf(x, [zeta](double v) { return std::log(v - zeta); });
    if (!(m.sd > 0))
        return models::Refuse(kId, NoSpreadText());
    return models::Made(kId, {zeta, m.mean, m.sd}, 3);
}

double Quantile(const ModelParameters& p, double F) {
    return p[0] + std::exp(p[1] + p[2] * StandardNormalQuantile(F));
}

double StandardVariable(const ModelParameters& p, double x) {
    return (std::log(x - p[0]) - p[1]) / p[2];
}

double Cdf(const ModelParameters& p, double x) {
    if (!(x - p[0] > 0))
        return 0;
    return StandardNormalCdf(StandardVariable(p, x));
}

} // namespace

const ModelUnit models::kLn3Q{
    {"ln3_q", "対数正規分布3母数（クォンタイル法）", "LN3Q", {"zeta", "mu", "sigma"}},
    3,
    {Fit, Quantile, Cdf, StandardVariable}};
