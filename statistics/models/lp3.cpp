#include "statistics/mathfunctions.h"
#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <cmath>

// The log-Pearson type III in log space: y = log10 x has mean, sd and skew g, p = {mean, sd, g}.
// For g ≠ 0, (y − c)/a is gamma distributed with shape β = 4/g², a = sd·g/2, c = mean − 2sd/g.

namespace {

constexpr ModelId kId = ModelId::Lp3;

// Below this skew the gamma's shape is so large that the normal is the same distribution.
constexpr double kNormalSkew = 1e-6;

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    const size_t n = s.x.size();
    const models::Moments m = models::MomentsOf(s.log10);
    if (!(m.sd > 0))
        return models::Refuse(kId, NoSpreadText());
    double cubes = 0;
    for (double y : s.log10) {
        const double d = y - m.mean;
        cubes += d * d * d;
    }
    const double g = n * cubes / ((n - 1.0) * (n - 2.0) * m.sd * m.sd * m.sd);
    return models::Made(kId, {m.mean, m.sd, g}, 3);
}

double Quantile(const ModelParameters& p, double F) {
    const double mean = p[0];
    const double sd = p[1];
    const double g = p[2];
    if (std::fabs(g) < kNormalSkew)
        return std::pow(10.0, mean + sd * StandardNormalQuantile(F));
    // y = c + a·P⁻¹(β, F) written about the mean, so that a small skew (a large β) does not
    // cancel c against a·P⁻¹.
    const double beta = 4 / (g * g);
    const double gamma = g > 0 ? GammaPInverse(beta, F) : GammaQInverse(beta, F);
    const double z = (gamma - beta) / std::sqrt(beta);
    return std::pow(10.0, mean + sd * (g > 0 ? z : -z));
}

double StandardVariable(const ModelParameters&, double x) {
    // SLSC does not change under an affine map of s, so log10 x needs no standardising.
    return std::log10(x);
}

double Cdf(const ModelParameters& p, double x) {
    const double mean = p[0];
    const double sd = p[1];
    const double g = p[2];
    if (!(x > 0))
        return 0;
    const double y = std::log10(x);
    if (std::fabs(g) < kNormalSkew)
        return StandardNormalCdf((y - mean) / sd);
    // (y − c)/a, again about the mean: β + (2/g)(y − mean)/sd.
    const double beta = 4 / (g * g);
    const double w = beta + 2 / g * ((y - mean) / sd);
    // Past the bound c: below it for g > 0, above it for g < 0.
    if (!(w > 0))
        return g > 0 ? 0 : 1;
    return g > 0 ? GammaP(beta, w) : GammaQ(beta, w);
}

} // namespace

const ModelUnit models::kLp3{{"lp3",
                              "対数ピアソンIII型分布（対数空間法）",
                              "LP3",
                              {"mean", "sd", "skew"},
                              "歪み係数は観測所の値（地域の値で重み付けしない）"},
                             3,
                             {Fit, Quantile, Cdf, StandardVariable}};
