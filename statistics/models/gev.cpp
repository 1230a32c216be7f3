#include "statistics/mathfunctions.h"
#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"
#include "statistics/series.h"

#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

// The generalized extreme value by L-moments: F = exp(−(1 − k(x − ξ)/α)^(1/k)), p = {ξ, α, k};
// k = 0 is the Gumbel.

namespace {

constexpr ModelId kId = ModelId::Gev;
constexpr double kShapeAccuracy = 1e-12;

QString ShapeNotAboveMinusOneText() {
    return QStringLiteral("形状母数 k が −1 より大きくなりません。");
}

// τ3 of the GEV with shape k, less the sample's: 2(1 − 3^−k)/(1 − 2^−k) − 3 − τ3, falling in k.
double ShapeEquation(double k, double t3) {
    const double ratio = k == 0
                             ? std::log(3.0) / std::numbers::ln2
                             : std::expm1(-k * std::log(3.0)) / std::expm1(-k * std::numbers::ln2);
    return 2 * ratio - 3 - t3;
}

FittedModel Estimate(const LMoments& l) {
    const double t3 = l.t3;
    // The equation falls from 1 − τ3 at k = −1 towards −1 − τ3: one root, which needs k > −1.
    if (!(t3 < 1 && t3 > -1))
        return models::Refuse(kId, ShapeNotAboveMinusOneText());
    auto f = [t3](double k) { return ShapeEquation(k, t3); };
    // Hosking's start narrows the bracket the solver works in; the root is the same either way.
    const double c = 2 / (3 + t3) - std::log(2.0) / std::log(3.0);
    const double k0 = std::clamp(7.8590 * c + 2.9554 * c * c, -0.999, 1e3);
    double lo = -1;
    double hi = k0;
    if (f(k0) > 0) {
        lo = k0;
        hi = std::max(1.0, 2 * k0);
        while (f(hi) > 0 && hi < 1e3)
            hi *= 2;
    }
    const double flo = f(lo);
    const double fhi = f(hi);
    if (flo == 0 || fhi == 0) {
        // The start or an end is the root itself.
    } else if (!(flo > 0 && fhi < 0)) {
        return models::Refuse(kId, QStringLiteral("形状母数 k を求められません。"));
    }
    double k = flo == 0 ? lo : hi;
    if (flo != 0 && fhi != 0) {
        std::uintmax_t iterations = 200;
        const auto [a, b] = boost::math::tools::toms748_solve(
            f, lo, hi, flo, fhi,
            [](double a, double b) { return std::fabs(b - a) <= kShapeAccuracy / 10; }, iterations);
        k = (a + b) / 2;
        if (iterations >= 200)
            return models::Refuse(kId, QStringLiteral("形状母数 k の計算が収束しません。"));
    }
    // The root is found to 10⁻¹²: one as close to −1 cannot be told from it, and its scale α,
    // which vanishes with 1 + k, would make every figure of the fit an accident of rounding.
    if (!(k > -1 + kShapeAccuracy))
        return models::Refuse(kId, ShapeNotAboveMinusOneText());
    if (k == 0) {
        const double alpha = l.l2 / std::numbers::ln2;
        return models::Made(kId, {l.l1 - models::kEulerGamma * alpha, alpha, 0}, 3);
    }
    const double gammaMinusOne = Gamma1pm1(k);
    const double alpha = l.l2 * k / (-std::expm1(-k * std::numbers::ln2) * (1 + gammaMinusOne));
    const double xi = l.l1 + alpha * gammaMinusOne / k;
    return models::Made(kId, {xi, alpha, k}, 3);
}

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    // τ3 is exactly 1 when every value but the largest is the same (k = −1), though its rounding
    // may fall just short of it.
    if (s.x.size() >= 2 && HasSpread(s.x) && !HasSpread(s.x.first(s.x.size() - 1)))
        return models::Refuse(kId, ShapeNotAboveMinusOneText());
    return models::FitByLMoments(kId, s, Estimate);
}

double Quantile(const ModelParameters& p, double F) {
    const double logY = std::log(-std::log(F));
    if (p[2] == 0)
        return p[0] - p[1] * logY;
    return p[0] - p[1] / p[2] * std::expm1(p[2] * logY);
}

double StandardVariable(const ModelParameters& p, double x) {
    return (x - p[0]) / p[1];
}

double Cdf(const ModelParameters& p, double x) {
    const double k = p[2];
    const double s = StandardVariable(p, x);
    if (k == 0)
        return std::exp(-std::exp(-s));
    // Beyond the bound ξ + α/k: above it for k > 0, below it for k < 0.
    if (!(-k * s > -1))
        return k > 0 ? 1 : 0;
    return std::exp(-std::exp(std::log1p(-k * s) / k));
}

} // namespace

const ModelUnit models::kGev{{"gev", "一般化極値分布", "GEV", {"xi", "alpha", "k"}},
                             3,
                             {Fit, Quantile, Cdf, StandardVariable}};
