#include "statistics/models/modelfit.h"
#include "statistics/mathfunctions.h"

#include <cmath>

namespace models {

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

FittedModel Refuse(ModelId id, const QString& problem) {
    return FittedModel::notApplicable(id, problem);
}

QString TooFewText(int needed) {
    return QStringLiteral("データが %1 件以上必要です。").arg(needed);
}

QString BoundNotBelowText() {
    return QStringLiteral("下限値が最小値より小さくなりません。");
}

FittedModel Made(ModelId id, const ModelParameters& p, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(p[static_cast<size_t>(i)]))
            return Refuse(id, QStringLiteral("母数が数値の範囲を超えました。"));
    return FittedModel::make(id, p);
}

FittedModel FitByLMoments(ModelId id, const Sample& s, FittedModel (*estimate)(const LMoments&)) {
    const LMoments l = SampleLMoments(s.x);
    if (!(l.l2 > 0))
        return Refuse(id, NoSpreadText());
    return estimate(l);
}

double LogNormalQuantile(const ModelParameters& p, double F) {
    return std::exp(p[0] + p[1] * StandardNormalQuantile(F));
}

double LogNormalCdf(const ModelParameters& p, double x) {
    if (!(x > 0))
        return 0;
    return StandardNormalCdf(LogNormalStandardVariable(p, x));
}

double LogNormalStandardVariable(const ModelParameters& p, double x) {
    return (std::log(x) - p[0]) / p[1];
}

} // namespace models

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

std::vector<double> NormalScores(size_t n, double alpha) {
    std::vector<double> z(n);
    const double denominator = n + 1 - 2 * alpha;
    for (size_t i = 0; i < n; ++i)
        z[i] = StandardNormalQuantile((i + 1 - alpha) / denominator);
    return z;
}

SampleArrays::SampleArrays(std::span<const double> sorted, double alpha)
    : ln(sorted.size())
    , log10(sorted.size())
    , root(sorted.size())
    , scores(NormalScores(sorted.size(), alpha)) {
    refill(sorted);
}

void SampleArrays::refill(std::span<const double> sorted) {
    for (size_t i = 0; i < sorted.size(); ++i) {
        ln[i] = std::log(sorted[i]);
        log10[i] = std::log10(sorted[i]);
        root[i] = std::sqrt(sorted[i]);
    }
}
