#include "statistics/mathfunctions.h"
#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <cmath>

// The log-normal line of the probability paper: log10 x = logMean + slope·z, p = {logMean, slope}.

namespace {

constexpr ModelId kId = ModelId::Ln2Paper;

QString FlatLineText() {
    return QStringLiteral("回帰直線の傾きが 0 のため、分布になりません。");
}

// The line through the sample at the exact normal quantiles of its plotting positions, where the
// page's own line takes the table's deviates: the table's 0.001 steps would shift every resampled
// slope a little, and a jackknife multiplies that shift N − 1 times.
FittedModel Fit(const Sample& s, double alpha, const FittedModel*) {
    const std::span<const double> y = s.log10;
    const size_t n = y.size();
    // Equal values make the slope 0, which their rounded mean might not.
    if (y.front() == y.back())
        return models::Refuse(kId, FlatLineText());
    double sum = 0;
    for (double v : y)
        sum += v;
    const double mean = sum / n;
    // The scores of the sample's own size; a sample made without them gets them here.
    const std::vector<double> own =
        s.scores.size() == n ? std::vector<double>() : NormalScores(n, alpha);
    const std::span<const double> scores = own.empty() ? s.scores : std::span<const double>(own);
    double products = 0;
    double squares = 0;
    for (size_t i = 0; i < n; ++i) {
        const double z = scores[i];
        products += (y[i] - mean) * z;
        squares += z * z;
    }
    const double slope = products / squares;
    if (slope == 0)
        return models::Refuse(kId, FlatLineText());
    if (!(std::isfinite(slope) && slope > 0))
        return models::Refuse(kId, QStringLiteral("回帰直線の傾きが正の数になりません。"));
    return models::Made(kId, {mean, slope}, 2);
}

double Quantile(const ModelParameters& p, double F) {
    return std::pow(10.0, p[0] + p[1] * StandardNormalQuantile(F));
}

double StandardVariable(const ModelParameters& p, double x) {
    return (std::log10(x) - p[0]) / p[1];
}

double Cdf(const ModelParameters& p, double x) {
    if (!(x > 0))
        return 0;
    return StandardNormalCdf(StandardVariable(p, x));
}

} // namespace

const ModelUnit models::kLn2Paper{
    {"ln2_paper", "対数正規分布（確率紙の回帰線）", "LN2 回帰線", {"log_mean", "slope", nullptr}},
    2,
    {Fit, Quantile, Cdf, StandardVariable}};

FittedModel PaperLineModel(double logMean, double slope) {
    if (!(slope != 0))
        return models::Refuse(kId, FlatLineText());
    return models::Made(kId, {logMean, slope}, 2);
}
