#include "statistics/datachecks.h"

#include "statistics/mathfunctions.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

int Sign(double d) {
    return (d > 0) - (d < 0);
}

const QString kLevelText = QStringLiteral("5 % の有意水準で");

} // namespace

MannKendall MannKendallTest(std::span<const double> values) {
    MannKendall test;
    const size_t n = values.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            test.s += Sign(values[j] - values[i]);
    // The groups of equal values, each counted once from its sorted run.
    std::vector<double> sorted(values.begin(), values.end());
    std::sort(sorted.begin(), sorted.end());
    const auto term = [](int64_t t) { return t * (t - 1) * (2 * t + 5); };
    int64_t ties = 0;
    for (size_t i = 0; i < n;) {
        size_t j = i;
        while (j < n && sorted[j] == sorted[i])
            ++j;
        ties += term(static_cast<int64_t>(j - i));
        i = j;
    }
    test.variance = static_cast<double>(term(static_cast<int64_t>(n)) - ties) / 18.0;
    if (test.s != 0 && test.variance > 0)
        test.z = static_cast<double>(test.s - (test.s > 0 ? 1 : -1)) / std::sqrt(test.variance);
    test.p = 2.0 * (1.0 - StandardNormalCdf(std::fabs(test.z)));
    return test;
}

std::optional<double> SenSlope(std::span<const int32_t> years, std::span<const double> values) {
    const size_t n = std::min(years.size(), values.size());
    std::vector<double> slopes;
    slopes.reserve(n * (n - 1) / 2);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (years[j] != years[i])
                slopes.push_back((values[j] - values[i]) /
                                 (static_cast<double>(years[j]) - static_cast<double>(years[i])));
    if (slopes.empty())
        return std::nullopt;
    std::sort(slopes.begin(), slopes.end());
    const size_t m = slopes.size();
    return m % 2 == 1 ? slopes[m / 2] : (slopes[m / 2 - 1] + slopes[m / 2]) / 2.0;
}

Pettitt PettittTest(std::span<const int32_t> years, std::span<const double> values) {
    Pettitt test;
    const size_t n = std::min(years.size(), values.size());
    if (n < 2)
        return test;
    // U_t = U_{t−1} + Σ_j sgn(x_t − x_j): moving x_t to the left side adds its signs against
    // every later value and takes back those against the earlier ones.
    int64_t u = 0;
    for (size_t t = 0; t + 1 < n; ++t) {
        for (size_t j = 0; j < n; ++j)
            u += Sign(values[t] - values[j]);
        const int64_t size = u < 0 ? -u : u;
        if (size > test.k || t == 0) {
            test.k = size;
            test.year = years[t];
        }
    }
    const double count = static_cast<double>(n);
    const double k = static_cast<double>(test.k);
    test.p = std::min(1.0, 2.0 * std::exp(-6.0 * k * k / (count * count * count + count * count)));
    return test;
}

std::optional<DataChecks> ComputeDataChecks(const SeriesData& series) {
    const int n = std::clamp(series.recordCount, 0, kMaxRecords);
    if (n < kChecksMinRecords)
        return std::nullopt;
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return series.years[static_cast<size_t>(a)] < series.years[static_cast<size_t>(b)];
    });
    std::vector<int32_t> years;
    std::vector<double> values;
    for (int i : order) {
        years.push_back(series.years[static_cast<size_t>(i)]);
        values.push_back(series.values[static_cast<size_t>(i)]);
    }
    DataChecks checks;
    checks.mannKendall = MannKendallTest(values);
    checks.senSlope = SenSlope(years, values);
    checks.pettitt = PettittTest(years, values);
    return checks;
}

QString TrendSentence(const MannKendall& test) {
    if (!(test.p < kChecksLevel) || test.s == 0)
        return kLevelText + QStringLiteral("傾向は認められません");
    return kLevelText + (test.s > 0 ? QStringLiteral("増加の傾向が認められます")
                                    : QStringLiteral("減少の傾向が認められます"));
}

QString ChangePointSentence(const Pettitt& test) {
    if (!(test.p < kChecksLevel))
        return kLevelText + QStringLiteral("変化点は認められません");
    return kLevelText + QStringLiteral(" %1 年に変化点が認められます").arg(test.year);
}

QString ThreeSignificant(double value) {
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0)
        return QStringLiteral("0.00");
    // The exponent of the value once rounded: 9.996 is 10.0, not 9.996's 9.
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const double scale = std::pow(10.0, 2 - exponent);
    double rounded = std::round(value * scale) / scale;
    if (std::fabs(rounded) >= std::pow(10.0, exponent + 1))
        ++exponent;
    const int decimals = std::max(0, 2 - exponent);
    if (decimals == 0) {
        const double step = std::pow(10.0, exponent - 2);
        rounded = std::round(value / step) * step;
    }
    const QString text = QString::number(rounded, 'f', decimals);
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}
