#include "statistics/mathfunctions.h"
#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <cmath>

// Iwai's three-parameter log-normal: log10(x + b) ~ N(mean, sd), p = {b, mean, sd}.

namespace {

constexpr ModelId kId = ModelId::Ln3Iwai;

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    const std::span<const double> x = s.x;
    const size_t n = x.size();
    double logSum = 0;
    for (double v : s.log10)
        logSum += v;
    const double xg = std::pow(10.0, logSum / n);
    const size_t pairs = std::max<size_t>(1, static_cast<size_t>(std::floor(n / 10.0 + 0.5)));
    double sum = 0;
    int used = 0;
    for (size_t k = 1; k <= pairs; ++k) {
        const double xs = x[n - k];
        const double xt = x[k - 1];
        const double denominator = 2 * xg - (xs + xt);
        if (denominator == 0)
            continue;
        sum += (xs * xt - xg * xg) / denominator;
        ++used;
    }
    if (used == 0)
        return models::Refuse(kId, QStringLiteral("下限値を求める式の分母がすべて 0 になります。"));
    const double b = sum / used;
    if (!(x[0] + b > 0))
        return models::Refuse(kId, models::BoundNotBelowText());
    const models::Moments m = models::MomentsOf(x, [b](double v) { return std::log10(v + b); });
    if (!(m.sd > 0))
        return models::Refuse(kId, NoSpreadText());
    return models::Made(kId, {b, m.mean, m.sd}, 3);
}

double Quantile(const ModelParameters& p, double F) {
    return std::pow(10.0, p[1] + p[2] * StandardNormalQuantile(F)) - p[0];
}

double StandardVariable(const ModelParameters& p, double x) {
    return (std::log10(x + p[0]) - p[1]) / p[2];
}

double Cdf(const ModelParameters& p, double x) {
    if (!(x + p[0] > 0))
        return 0;
    return StandardNormalCdf(StandardVariable(p, x));
}

} // namespace

const ModelUnit models::kLn3Iwai{{"ln3_iwai", "岩井法", "岩井法", {"b", "mean", "sd"}},
                                 3,
                                 {Fit, Quantile, Cdf, StandardVariable}};
