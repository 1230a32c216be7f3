#include "statistics/mathfunctions.h"
#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>

// The square-root exponential type distribution of maxima (Etoh, Murota and Nakanishi) by
// maximum likelihood: F = exp(−a(1 + √(bx))·e^(−√(bx))) for x ≥ 0, p = {a, b}.

namespace {

constexpr ModelId kId = ModelId::Sqrtet;

// The sums of the SQRT-ET profile at b, with the exponentials scaled by e^tmin so that a wide
// range of b·x neither underflows nor loses the small values' weight.
struct SqrtetSums {
    double logS1 = 0;  // ln Σ(1 + t)e^−t
    double st = 0;     // Σ t
    double ratio = 0;  // Σ t²e^−t / Σ(1 + t)e^−t
    double ratio3 = 0; // Σ t³e^−t / Σ(1 + t)e^−t, for the slope's own derivative
};

SqrtetSums SqrtetSumsAt(std::span<const double> roots, double b) {
    const double rb = std::sqrt(b);
    const double tmin = rb * roots.front();
    double s1 = 0;
    double s2 = 0;
    double s3 = 0;
    double st = 0;
    for (double r : roots) {
        const double t = rb * r;
        const double e = std::exp(tmin - t);
        s1 += (1 + t) * e;
        s2 += t * t * e;
        s3 += t * t * t * e;
        st += t;
    }
    return {std::log(s1) - tmin, st, s2 / s1, s3 / s1};
}

double ProfileLogLikelihood(std::span<const double> roots, double b) {
    const double n = static_cast<double>(roots.size());
    const SqrtetSums s = SqrtetSumsAt(roots, b);
    // a = N / Σ(1 + t)e^−t makes Σ a(1 + t)e^−t = N.
    return n * (std::log(n) - s.logS1 + std::log(b / 2)) - s.st - n;
}

double ProfileSlope(std::span<const double> roots, double b) {
    const double n = static_cast<double>(roots.size());
    const SqrtetSums s = SqrtetSumsAt(roots, b);
    return n * s.ratio + 2 * n - s.st;
}

constexpr int kSqrtetPoints = 801;

FittedModel FitRoots(std::span<const double> values, std::span<const double> roots,
                     std::optional<double> startB) {
    const size_t n = values.size();
    if (values.front() == values.back())
        return models::Refuse(kId, NoSpreadText());
    double sum = 0;
    for (double v : values)
        sum += v;
    const double mean = sum / n;
    const double first = std::log(1e-4 / mean);
    const double step = (std::log(1e4 / mean) - first) / (kSqrtetPoints - 1);
    auto bAt = [&](int i) { return std::exp(first + step * i); };
    auto slope = [&](double b) { return ProfileSlope(roots, b); };
    auto solve = [&](double lo, double hi, double slo, double shi) {
        std::uintmax_t iterations = 200;
        const auto [p, q] = boost::math::tools::toms748_solve(
            slope, lo, hi, slo, shi,
            [](double p, double q) { return std::fabs(q - p) <= 1e-12 * std::fmin(p, q); },
            iterations);
        return (p + q) / 2;
    };
    auto fitted = [&](double b) {
        const double a = n / std::exp(SqrtetSumsAt(roots, b).logS1);
        return models::Made(kId, {a, b}, 2);
    };
    // Newton's method on the slope in ln b from a start near the maximum: where the profile
    // has one maximum, the root it converges to is the one the scan refines to.
    if (startB && *startB > 0) {
        const double nn = static_cast<double>(n);
        double u = std::log(*startB);
        for (int iteration = 0; iteration < 30; ++iteration) {
            const SqrtetSums sums = SqrtetSumsAt(roots, std::exp(u));
            const double g = nn * sums.ratio + 2 * nn - sums.st;
            // dg/d(ln b) = b·g'(b); 2b·g' = N((2S2 − S3)/S1 + (S2/S1)²) − Σt.
            const double dg =
                (nn * (2 * sums.ratio - sums.ratio3 + sums.ratio * sums.ratio) - sums.st) / 2;
            if (!(dg < 0) || !std::isfinite(g))
                break;
            const double change = g / dg;
            u -= change;
            if (std::fabs(change) <= 1e-14 * std::max(1.0, std::fabs(u))) {
                // Well inside the scanned range, or the scan decides.
                const double index = (u - first) / step;
                if (index > 2 && index < kSqrtetPoints - 3)
                    return fitted(std::exp(u));
                break;
            }
        }
    }
    // The whole scan; a NaN never wins, as it compares false.
    std::array<double, kSqrtetPoints> likelihood;
    int best = 0;
    for (int i = 0; i < kSqrtetPoints; ++i) {
        likelihood[static_cast<size_t>(i)] = ProfileLogLikelihood(roots, bAt(i));
        if (likelihood[static_cast<size_t>(i)] > likelihood[static_cast<size_t>(best)] ||
            std::isnan(likelihood[static_cast<size_t>(best)]))
            best = i;
    }
    if (best == 0 || best == kSqrtetPoints - 1 ||
        !std::isfinite(likelihood[static_cast<size_t>(best)]))
        return models::Refuse(kId, QStringLiteral("尤度が最大になる母数がありません（値のばらつきが"
                                                  "小さすぎます）。"));

    // The maximum lies between the best point's neighbours: the root of the slope there.
    const double lo = bAt(best - 1);
    const double hi = bAt(best + 1);
    const double slo = slope(lo);
    const double shi = slope(hi);
    double b = bAt(best);
    if (slo > 0 && shi < 0) {
        b = solve(lo, hi, slo, shi);
    } else {
        // A slope that does not change sign between the neighbours: the largest likelihood
        // there, sought in ln b.
        const auto [lnB, value] = boost::math::tools::brent_find_minima(
            [&](double u) { return -ProfileLogLikelihood(roots, std::exp(u)); }, std::log(lo),
            std::log(hi), 50);
        (void)value;
        b = std::exp(lnB);
    }
    return fitted(b);
}

// A resampled series is fitted from the whole series' b: it moves little when one value goes,
// and Newton's method from there finds the maximum the scan would refine to.
FittedModel Fit(const Sample& s, double, const FittedModel* start) {
    std::optional<double> startB;
    if (start && start->id() == kId && start->applicable())
        startB = start->rawParameters()[1];
    return FitRoots(s.x, s.root, startB);
}

double Quantile(const ModelParameters& p, double F) {
    const double a = p[0];
    const double b = p[1];
    const double y = -std::log(F) / a;
    if (y >= 1)
        return 0; // F ≤ e^−a: the atom at zero
    const double t = -1 - LambertWLower(-y / std::numbers::e);
    return t * t / b;
}

double StandardVariable(const ModelParameters& p, double x) {
    return p[1] * x;
}

double Cdf(const ModelParameters& p, double x) {
    if (!(x >= 0))
        return 0;
    const double t = std::sqrt(p[1] * x);
    return std::exp(-p[0] * (1 + t) * std::exp(-t));
}

} // namespace

const ModelUnit models::kSqrtet{
    {"sqrtet", "平方根指数型最大値分布", "SQRT-ET", {"a", "b", nullptr}},
    2,
    {Fit, Quantile, Cdf, StandardVariable}};

FittedModel FitSqrtet(std::span<const double> sorted, std::optional<double> startB) {
    const SampleArrays arrays(sorted, 0.5);
    // Only the start's b is read.
    const FittedModel start = FittedModel::make(kId, {0, startB.value_or(0)});
    return FitSample(kId, arrays.of(sorted), 0.5, startB ? &start : nullptr);
}

double SqrtetProfileSlope(std::span<const double> values, double b) {
    return ProfileSlope(SampleArrays(values, 0.5).root, b);
}

double SqrtetProfileLogLikelihood(std::span<const double> values, double b) {
    return ProfileLogLikelihood(SampleArrays(values, 0.5).root, b);
}
