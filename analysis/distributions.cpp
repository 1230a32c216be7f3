#include "analysis/distributions.h"
#include "analysis/distributionfits.h"
#include "analysis/mathfunctions.h"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kEulerGamma = 0.5772156649015329;

struct ModelInfo {
    const char* key;
    const char* name;
    // What a chart's legend says, where the full name does not fit.
    const char* shortName;
    // The parameters' JSON names; the unused ones are null.
    std::array<const char*, 3> parameters;
};

constexpr ModelInfo kInfo[] = {
    {"ln2_paper", "対数正規分布（確率紙の回帰線）", "LN2 回帰線", {"log_mean", "slope", nullptr}},
    {"ln2_pm", "対数正規分布2母数（積率法）", "LN2PM", {"mu", "sigma", nullptr}},
    {"ln2_lm", "対数正規分布2母数（L積率法）", "LN2LM", {"mu", "sigma", nullptr}},
    {"ln3_iwai", "岩井法", "岩井法", {"b", "mean", "sd"}},
    {"ln3_q", "対数正規分布3母数（クォンタイル法）", "LN3Q", {"zeta", "mu", "sigma"}},
    {"ln3_lm", "対数正規分布3母数（L積率法）", "LN3LM", {"xi", "alpha", "k"}},
    {"lp3", "対数ピアソンIII型分布（対数空間法）", "LP3", {"mean", "sd", "skew"}},
    {"exp", "指数分布", "Exp", {"xi", "alpha", nullptr}},
    {"gumbel", "グンベル分布", "Gumbel", {"xi", "alpha", nullptr}},
    {"sqrtet", "平方根指数型最大値分布", "SqrtEt", {"a", "b", nullptr}},
    {"gev", "一般化極値分布", "GEV", {"xi", "alpha", "k"}},
};
static_assert(std::size(kInfo) == kModelCount);

const ModelInfo& Info(ModelId id) {
    return kInfo[static_cast<size_t>(id)];
}

// Mean and standard deviation (divisor n - 1).
struct Moments {
    double mean = 0;
    double sd = 0;
};
Moments MomentsOf(std::span<const double> y) {
    const size_t n = y.size();
    double sum = 0;
    for (double v : y)
        sum += v;
    const double mean = sum / n;
    double squares = 0;
    for (double v : y)
        squares += (v - mean) * (v - mean);
    return {mean, std::sqrt(squares / (n - 1.0))};
}

// The same of f(x), with f evaluated once per value.
template <typename F> Moments MomentsOf(std::span<const double> x, F f) {
    std::vector<double> y(x.size());
    std::transform(x.begin(), x.end(), y.begin(), f);
    return MomentsOf(y);
}

FittedModel Refuse(ModelId id, const QString& problem) {
    return FittedModel::notApplicable(id, problem);
}

QString TooFew(int needed) {
    return QStringLiteral("データが %1 件以上必要です。").arg(needed);
}

const QString kNoSpread = QStringLiteral("値のばらつきがないため当てはめられません。");

// Parameters that are not finite numbers make the model not applicable.
FittedModel Made(ModelId id, std::array<double, 4> p, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(p[static_cast<size_t>(i)]))
            return Refuse(id, QStringLiteral("母数が数値の範囲を超えました。"));
    return FittedModel::make(id, p);
}

// The two-parameter log-normal from the moments of ln x.
FittedModel FitLn2Pm(const Sample& s) {
    const ModelId id = ModelId::Ln2Pm;
    if (s.x.size() < 2)
        return Refuse(id, TooFew(2));
    const Moments m = MomentsOf(s.ln);
    if (!(m.sd > 0))
        return Refuse(id, kNoSpread);
    return Made(id, {m.mean, m.sd}, 2);
}

FittedModel FitLn2Lm(const LMoments& l) {
    const ModelId id = ModelId::Ln2Lm;
    const double sigma = 2 * ErfInverse(l.l2 / l.l1);
    return Made(id, {std::log(l.l1) - sigma * sigma / 2, sigma}, 2);
}

FittedModel FitLn3Iwai(const Sample& s) {
    const ModelId id = ModelId::Ln3Iwai;
    const std::span<const double> x = s.x;
    const size_t n = x.size();
    if (n < 3)
        return Refuse(id, TooFew(3));
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
        return Refuse(id, QStringLiteral("下限値を求める式の分母がすべて 0 になります。"));
    const double b = sum / used;
    if (!(x[0] + b > 0))
        return Refuse(id, QStringLiteral("下限値が最小値より小さくなりません。"));
    const Moments m = MomentsOf(x, [b](double v) { return std::log10(v + b); });
    if (!(m.sd > 0))
        return Refuse(id, kNoSpread);
    return Made(id, {b, m.mean, m.sd}, 3);
}

FittedModel FitLn3Q(const Sample& s) {
    const std::span<const double> x = s.x;
    const ModelId id = ModelId::Ln3Q;
    const size_t n = x.size();
    if (n < 3)
        return Refuse(id, TooFew(3));
    const double median = n % 2 ? x[n / 2] : (x[n / 2 - 1] + x[n / 2]) / 2;
    const double smallest = x[0];
    const double largest = x[n - 1];
    const double denominator = smallest + largest - 2 * median;
    if (!(denominator > 0))
        return Refuse(id, QStringLiteral("下限値を求める式の分母が正になりません。"));
    const double zeta = (smallest * largest - median * median) / denominator;
    if (!(zeta < smallest))
        return Refuse(id, QStringLiteral("下限値が最小値より小さくなりません。"));
    const Moments m = MomentsOf(x, [zeta](double v) { return std::log(v - zeta); });
    if (!(m.sd > 0))
        return Refuse(id, kNoSpread);
    return Made(id, {zeta, m.mean, m.sd}, 3);
}

// Hosking's generalized normal by L-moments.
FittedModel FitLn3Lm(const LMoments& l) {
    const ModelId id = ModelId::Ln3Lm;
    const double t = l.t3;
    // The rational approximation of the shape holds for |τ3| < 0.95 only.
    if (!(std::fabs(t) < 0.95))
        return Refuse(id, QStringLiteral("L歪度が大きすぎて（|τ3| ≥ 0.95）当てはめられません。"));
    if (t == 0)
        return Made(id, {l.l1, l.l2 * std::sqrt(std::numbers::pi), 0}, 3);
    const double t2 = t * t;
    const double k = -t * (2.0466534 + t2 * (-3.6544371 + t2 * (1.8396733 + t2 * -0.20360244))) /
                     (1 + t2 * (-2.0182173 + t2 * (1.2420401 + t2 * -0.21741801)));
    const double alpha = l.l2 * k * std::exp(-k * k / 2) / Erf(k / 2);
    const double xi = l.l1 + alpha * std::expm1(k * k / 2) / k;
    return Made(id, {xi, alpha, k}, 3);
}

FittedModel FitLp3(const Sample& s) {
    const ModelId id = ModelId::Lp3;
    const size_t n = s.x.size();
    if (n < 3)
        return Refuse(id, TooFew(3));
    const Moments m = MomentsOf(s.log10);
    if (!(m.sd > 0))
        return Refuse(id, kNoSpread);
    double cubes = 0;
    for (double y : s.log10) {
        const double d = y - m.mean;
        cubes += d * d * d;
    }
    const double g = n * cubes / ((n - 1.0) * (n - 2.0) * m.sd * m.sd * m.sd);
    return Made(id, {m.mean, m.sd, g}, 3);
}

FittedModel FitExp(const LMoments& l) {
    const ModelId id = ModelId::Exp;
    const double alpha = 2 * l.l2;
    return Made(id, {l.l1 - alpha, alpha}, 2);
}

FittedModel FitGumbel(const LMoments& l) {
    const ModelId id = ModelId::Gumbel;
    const double alpha = l.l2 / std::numbers::ln2;
    return Made(id, {l.l1 - kEulerGamma * alpha, alpha}, 2);
}

// τ3 of the GEV with shape k, less the sample's: 2(1 − 3^−k)/(1 − 2^−k) − 3 − τ3, falling in k.
double GevShapeEquation(double k, double t3) {
    const double ratio = k == 0
                             ? std::log(3.0) / std::numbers::ln2
                             : std::expm1(-k * std::log(3.0)) / std::expm1(-k * std::numbers::ln2);
    return 2 * ratio - 3 - t3;
}

FittedModel FitGev(const LMoments& l) {
    const ModelId id = ModelId::Gev;
    const double t3 = l.t3;
    // The equation falls from 1 − τ3 at k = −1 towards −1 − τ3: one root, which needs k > −1.
    if (!(t3 < 1 && t3 > -1))
        return Refuse(id, QStringLiteral("形状母数 k が −1 より大きくなりません。"));
    auto f = [t3](double k) { return GevShapeEquation(k, t3); };
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
        return Refuse(id, QStringLiteral("形状母数 k を求められません。"));
    }
    double k = flo == 0 ? lo : hi;
    if (flo != 0 && fhi != 0) {
        std::uintmax_t iterations = 200;
        const auto [a, b] = boost::math::tools::toms748_solve(
            f, lo, hi, flo, fhi, [](double a, double b) { return std::fabs(b - a) <= 1e-13; },
            iterations);
        k = (a + b) / 2;
        if (iterations >= 200)
            return Refuse(id, QStringLiteral("形状母数 k の計算が収束しません。"));
    }
    if (!(k > -1))
        return Refuse(id, QStringLiteral("形状母数 k が −1 より大きくなりません。"));
    if (k == 0) {
        const double alpha = l.l2 / std::numbers::ln2;
        return Made(id, {l.l1 - kEulerGamma * alpha, alpha, 0}, 3);
    }
    const double gammaMinusOne = Gamma1pm1(k);
    const double alpha = l.l2 * k / (-std::expm1(-k * std::numbers::ln2) * (1 + gammaMinusOne));
    const double xi = l.l1 + alpha * gammaMinusOne / k;
    return Made(id, {xi, alpha, k}, 3);
}

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

FittedModel FitSqrtetRoots(std::span<const double> values, std::span<const double> roots,
                           std::optional<double> startB) {
    const ModelId id = ModelId::Sqrtet;
    const size_t n = values.size();
    if (n < 2)
        return Refuse(id, TooFew(2));
    if (values.front() == values.back())
        return Refuse(id, kNoSpread);
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
        return Made(id, {a, b}, 2);
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
        return Refuse(id, QStringLiteral("尤度が最大になる母数がありません（値のばらつきが"
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

} // namespace

const char* ModelKey(ModelId id) {
    return Info(id).key;
}

QString ModelName(ModelId id) {
    return QString::fromUtf8(Info(id).name);
}

QString ModelShortName(ModelId id) {
    return QString::fromUtf8(Info(id).shortName);
}

std::vector<ModelParameter> FittedModel::parameters() const {
    std::vector<ModelParameter> list;
    if (!applicable())
        return list;
    const ModelInfo& info = Info(id_);
    for (size_t i = 0; i < info.parameters.size(); ++i)
        if (info.parameters[i])
            list.push_back({info.parameters[i], p_[i]});
    return list;
}

double FittedModel::rawQuantile(double F) const {
    if (!(F > 0 && F < 1) || !applicable())
        return kNaN;
    const auto& p = p_;
    switch (id_) {
    case ModelId::Ln2Paper:
        return std::pow(10.0, p[0] + p[1] * StandardNormalQuantile(F));
    case ModelId::Ln2Pm:
    case ModelId::Ln2Lm:
        return std::exp(p[0] + p[1] * StandardNormalQuantile(F));
    case ModelId::Ln3Iwai:
        return std::pow(10.0, p[1] + p[2] * StandardNormalQuantile(F)) - p[0];
    case ModelId::Ln3Q:
        return p[0] + std::exp(p[1] + p[2] * StandardNormalQuantile(F));
    case ModelId::Ln3Lm: {
        const double z = StandardNormalQuantile(F);
        if (p[2] == 0)
            return p[0] + p[1] * z;
        return p[0] - p[1] / p[2] * std::expm1(-p[2] * z);
    }
    case ModelId::Lp3: {
        const double mean = p[0];
        const double sd = p[1];
        const double g = p[2];
        if (std::fabs(g) < 1e-6)
            return std::pow(10.0, mean + sd * StandardNormalQuantile(F));
        // y = c + a·P⁻¹(β, F) written about the mean, so that a small skew (a large β) does not
        // cancel c against a·P⁻¹.
        const double beta = 4 / (g * g);
        const double gamma = g > 0 ? GammaPInverse(beta, F) : GammaQInverse(beta, F);
        const double z = (gamma - beta) / std::sqrt(beta);
        return std::pow(10.0, mean + sd * (g > 0 ? z : -z));
    }
    case ModelId::Exp:
        return p[0] - p[1] * std::log1p(-F);
    case ModelId::Gumbel:
        return p[0] - p[1] * std::log(-std::log(F));
    case ModelId::Sqrtet: {
        const double a = p[0];
        const double b = p[1];
        const double y = -std::log(F) / a;
        if (y >= 1)
            return 0; // F ≤ e^−a: the atom at zero
        const double t = -1 - LambertWLower(-y / std::numbers::e);
        return t * t / b;
    }
    case ModelId::Gev: {
        const double logY = std::log(-std::log(F));
        if (p[2] == 0)
            return p[0] - p[1] * logY;
        return p[0] - p[1] / p[2] * std::expm1(p[2] * logY);
    }
    }
    return kNaN;
}

double FittedModel::rawStandardVariable(double x) const {
    if (!applicable())
        return kNaN;
    const auto& p = p_;
    switch (id_) {
    case ModelId::Ln2Paper:
        return (std::log10(x) - p[0]) / p[1];
    case ModelId::Ln2Pm:
    case ModelId::Ln2Lm:
        return (std::log(x) - p[0]) / p[1];
    case ModelId::Ln3Iwai:
        return (std::log10(x + p[0]) - p[1]) / p[2];
    case ModelId::Ln3Q:
        return (std::log(x - p[0]) - p[1]) / p[2];
    case ModelId::Ln3Lm:
        if (p[2] == 0)
            return (x - p[0]) / p[1];
        return -std::log1p(-p[2] * (x - p[0]) / p[1]) / p[2];
    case ModelId::Lp3:
        return std::log10(x);
    case ModelId::Sqrtet:
        return p[1] * x;
    case ModelId::Exp:
    case ModelId::Gumbel:
    case ModelId::Gev:
        return (x - p[0]) / p[1];
    }
    return kNaN;
}

std::optional<double> FittedModel::quantile(double F) const {
    const double x = rawQuantile(F);
    if (!std::isfinite(x))
        return std::nullopt;
    return x;
}

std::optional<double> FittedModel::standardVariable(double x) const {
    const double s = rawStandardVariable(x);
    if (!std::isfinite(s))
        return std::nullopt;
    return s;
}

LMoments SampleLMoments(std::span<const double> sorted) {
    const size_t n = sorted.size();
    double b0 = 0;
    double b1 = 0;
    double b2 = 0;
    for (size_t j = 0; j < n; ++j) {
        const double x = sorted[j];
        b0 += x;
        b1 += j * x;
        b2 += j * (j - 1.0) * x;
    }
    b0 /= n;
    b1 /= n * (n - 1.0);
    b2 /= n * (n - 1.0) * (n - 2.0);
    LMoments l;
    l.l1 = b0;
    l.l2 = 2 * b1 - b0;
    l.t3 = (6 * b2 - 6 * b1 + b0) / l.l2;
    return l;
}

SampleArrays::SampleArrays(std::span<const double> sorted, double alpha)
    : ln(sorted.size())
    , log10(sorted.size())
    , root(sorted.size())
    , scores(NormalScores(sorted.size(), alpha)) {
    for (size_t i = 0; i < sorted.size(); ++i) {
        ln[i] = std::log(sorted[i]);
        log10[i] = std::log10(sorted[i]);
        root[i] = std::sqrt(sorted[i]);
    }
}

std::vector<double> NormalScores(size_t n, double alpha) {
    std::vector<double> z(n);
    const double denominator = n + 1 - 2 * alpha;
    for (size_t i = 0; i < n; ++i)
        z[i] = StandardNormalQuantile((i + 1 - alpha) / denominator);
    return z;
}

FittedModel FitSqrtet(std::span<const double> sorted, std::optional<double> startB) {
    const SampleArrays arrays(sorted, 0.5);
    return FitSqrtetRoots(sorted, arrays.root, startB);
}

double SqrtetProfileSlope(std::span<const double> values, double b) {
    return ProfileSlope(SampleArrays(values, 0.5).root, b);
}

double SqrtetProfileLogLikelihood(std::span<const double> values, double b) {
    return ProfileLogLikelihood(SampleArrays(values, 0.5).root, b);
}

// An estimator by L-moments, given a sample of at least three values with a spread.
template <ModelId id, FittedModel (*Estimate)(const LMoments&)>
FittedModel ByLMoments(const Sample& s) {
    if (s.x.size() < 3)
        return Refuse(id, TooFew(3));
    const LMoments l = SampleLMoments(s.x);
    if (!(l.l2 > 0))
        return Refuse(id, kNoSpread);
    return Estimate(l);
}

// The line through the mean of the logarithms with the exact normal quantile of the plotting
// positions, where the page takes the table's deviates.
FittedModel FitExactLine(const Sample& s) {
    const ModelId id = ModelId::Ln2Paper;
    const size_t n = s.x.size();
    if (n < 2)
        return Refuse(id, TooFew(2));
    double mean = 0;
    for (double y : s.log10)
        mean += y;
    mean /= n;
    double szz = 0;
    double syz = 0;
    for (size_t i = 0; i < n; ++i) {
        szz += s.scores[i] * s.scores[i];
        syz += (s.log10[i] - mean) * s.scores[i];
    }
    const double slope = syz / szz;
    if (!(slope != 0))
        return Refuse(id, QStringLiteral("回帰直線の傾きが 0 のため、分布になりません。"));
    return Made(id, {mean, slope}, 2);
}

FittedModel FitSample(ModelId id, const Sample& s, double alpha, const FittedModel* whole) {
    (void)alpha;
    const std::optional<double> sqrtetStart =
        whole && whole->id() == ModelId::Sqrtet && whole->applicable()
            ? std::optional(whole->rawParameters()[1])
            : std::nullopt;
    if (id == ModelId::Ln2Paper)
        return FitExactLine(s);
    // The estimators in the order of kModels; the page's line comes from the analysis instead.
    using Estimator = FittedModel (*)(const Sample&);
    static constexpr Estimator kEstimators[] = {
        nullptr,
        FitLn2Pm,
        ByLMoments<ModelId::Ln2Lm, FitLn2Lm>,
        FitLn3Iwai,
        FitLn3Q,
        ByLMoments<ModelId::Ln3Lm, FitLn3Lm>,
        FitLp3,
        ByLMoments<ModelId::Exp, FitExp>,
        ByLMoments<ModelId::Gumbel, FitGumbel>,
        nullptr,
        ByLMoments<ModelId::Gev, FitGev>,
    };
    static_assert(std::size(kEstimators) == kModelCount);
    // Boost.Math is told not to throw; this is the net under anything else (a full memory).
    try {
        if (id == ModelId::Sqrtet)
            return FitSqrtetRoots(s.x, s.root, sqrtetStart);
        if (const Estimator fit = kEstimators[static_cast<size_t>(id)])
            return fit(s);
    } catch (const std::exception&) {
        return Refuse(id, QStringLiteral("計算中に問題が起きたため当てはめられません。"));
    }
    return Refuse(id, QStringLiteral("確率紙の回帰線は系列の解析から求めます。"));
}

FittedModel FitModel(ModelId id, std::span<const double> sorted) {
    const SampleArrays arrays(sorted, 0.5);
    return FitSample(id, arrays.of(sorted), 0.5);
}

FittedModel PaperLineModel(double logMean, double slope) {
    if (!(slope != 0))
        return Refuse(ModelId::Ln2Paper,
                      QStringLiteral("回帰直線の傾きが 0 のため、分布になりません。"));
    return Made(ModelId::Ln2Paper, {logMean, slope}, 2);
}
