#include "statistics/series.h"

#include "statistics/dataerror.h"
#include "statistics/deviates.h"
#include "statistics/numeric.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

void Check(bool ok, const QString& problem) {
    if (!ok)
        throw DataError(problem);
}

} // namespace

AnalysisResult ComputeAnalysis(const double* values, int n, double alpha, const DeviateTable& table,
                               const double* knownLogs) {
    Check(n >= 2,
          QStringLiteral("データが %1 件しかありません。解析には 2 件以上のデータが必要です。")
              .arg(n));
    Check(n <= kMaxRecords, QStringLiteral("データが %1 件を超えています。").arg(kMaxRecords));
    AnalysisResult r;

    // 1. Logarithms. log10 rather than ln(v) / ln(10): the quotient of two rounded logarithms
    // misses exact powers of ten (1000 gives 2.9999999999999996 and its box would read
    // 999.999999999999), while the users expect 1000.
    for (int i = 0; i < n; ++i) {
        // The message is built only on failure: this loop runs for every value.
        // Record i is line i + 1: the reader refuses blank lines. The editor goes there.
        if (!(std::isfinite(values[i]) && values[i] > 0))
            throw DataError(
                QStringLiteral(
                    "%1 件目（%2 行目）の値 %3 が 0 以下です。値は 0 より大きくしてください。")
                    .arg(i + 1)
                    .arg(i + 1)
                    .arg(FormatReal(values[i])),
                i + 1);
        r.logValues[i] = knownLogs ? knownLogs[i] : std::log10(values[i]);
    }

    // Without spread there is no line: its slope would be rounding, and every figure from it
    // a plausible-looking accident.
    // Values near the double's limit may differ where their logarithms do not.
    if (!HasSpread(std::span(values, static_cast<size_t>(n))) ||
        !HasSpread(std::span(r.logValues.data(), static_cast<size_t>(n))))
        throw DataError(NoSpreadText());

    // 2. Ranks, ascending; among equal values the earlier record ranks lower. Sorting by
    // (logarithm, file position) gives exactly the ranks of counting every pair, at a fraction
    // of the cost: the error estimate runs the whole analysis once per record.
    std::array<std::pair<double, int>, kMaxRecords> order;
    for (int i = 0; i < n; ++i)
        order[i] = {r.logValues[i], i};
    std::sort(order.begin(), order.begin() + n);
    for (int position = 0; position < n; ++position)
        r.ranks[order[position].second] = position + 1;

    // 3. Plotting positions.
    const double denominator = n + 1 - 2 * alpha;
    Check(denominator > 0, QStringLiteral("α値が大きすぎて非超過確率を計算できません。"));
    for (int i = 0; i < n; ++i)
        r.probabilities[i] = (r.ranks[i] - alpha) / denominator;

    // 4. Deviates, with exactly one half at the centre and no table access for it. Only indices
    // 0..499 of the table are loaded: a larger alpha kept from a shorter series would put the
    // extreme points on the median line without a word, so it is refused.
    for (int i = 0; i < n; ++i) {
        const double p = r.probabilities[i];
        const double index = RoundHalfEven(std::fabs(p - 0.5) * 1000.0);
        if (!(index < kDeviateTableLoaded))
            throw DataError(AlphaTooLargeText(alpha, n));
    }
    for (int i = 0; i < n; ++i) {
        const double p = r.probabilities[i];
        r.deviates[i] = p == 0.5 ? 0.0 : DeviateAt(table, p);
    }

    // 5. Extremes and sums, accumulated in the means themselves.
    r.logMax = -9999;
    r.logMin = 9999;
    r.arithMean = 0;
    r.logMean = 0;
    for (int i = 0; i < n; ++i) {
        r.arithMean += values[i];
        r.logMean += r.logValues[i];
        if (r.logValues[i] > r.logMax)
            r.logMax = r.logValues[i];
        if (r.logValues[i] < r.logMin)
            r.logMin = r.logValues[i];
    }

    // 6. Means.
    r.arithMean /= n;
    r.logMean /= n;
    // A mean lies between the extremes; the rounding of the sum may put it a little outside.
    r.logMean = std::clamp(r.logMean, r.logMin, r.logMax);
    r.arithMean = std::clamp(r.arithMean, *std::min_element(values, values + n),
                             *std::max_element(values, values + n));

    // 7. Line through (0, logMean), least squares on the deviates.
    double szz = 0;
    double sxz = 0;
    for (int i = 0; i < n; ++i) {
        szz += r.deviates[i] * r.deviates[i];
        sxz += (r.logValues[i] - r.logMean) * r.deviates[i];
    }
    Check(szz != 0,
          QStringLiteral("非超過確率の偏差がすべて 0 になり、回帰直線を求められません。"));
    r.slope = sxz / szz;

    // 8. Return-period offsets: product first, then the division.
    r.logOffset10 = (DeviateAt(table, 0.9) * sxz) / szz;
    r.logOffset100 = (DeviateAt(table, 0.99) * sxz) / szz;

    Check(std::isfinite(r.arithMean) && std::isfinite(r.logMean) && std::isfinite(r.slope) &&
              std::isfinite(r.logOffset10) && std::isfinite(r.logOffset100),
          QStringLiteral("計算結果が数値の範囲を超えました。"));

    // 9. Texts of the statistics boxes. What the boxes and the printed results would show must
    // be numbers: a series near the double's limit gives infinities there.
    const double shown[] = {r.arithMean,
                            std::pow(10.0, r.logMean),
                            std::pow(10.0, r.logMax),
                            std::pow(10.0, r.logMin),
                            std::pow(10.0, r.logMean - r.logOffset10),
                            std::pow(10.0, r.logMean - r.logOffset100),
                            std::pow(10.0, r.logMean + r.logOffset10),
                            std::pow(10.0, r.logMean + r.logOffset100)};
    for (double value : shown)
        Check(std::isfinite(value),
              QStringLiteral("値が大きすぎて平均・最大値・最小値や豊水・渇水の解析値が"
                             "数値の範囲を超えます。"));
    r.texts.arithMean = FormatReal(shown[0]);
    r.texts.geoMean = FormatReal(shown[1]);
    r.texts.maximum = FormatReal(shown[2]);
    r.texts.minimum = FormatReal(shown[3]);
    return r;
}

DryWetValues ComputeDryWetValues(double logMean, double logOffset10, double logOffset100) {
    return {std::pow(10.0, logMean - logOffset10), std::pow(10.0, logMean - logOffset100),
            std::pow(10.0, logMean + logOffset10), std::pow(10.0, logMean + logOffset100)};
}

double MaxAlphaFor(int recordCount) {
    return (kDeviateTableLoaded - 1.0 - recordCount) / (kDeviateTableLoaded - 2.0);
}

QString AlphaTooLargeText(double alpha, int recordCount) {
    // Said the same way in the window and on the command line: where α is changed is the
    // reader's own business, so the text names no button and no option.
    return QStringLiteral("α値 %1 が大きすぎます。%2 件のデータで使えるα値は %3 までです。")
        .arg(FormatReal(alpha))
        .arg(recordCount)
        .arg(FormatReal(MaxAlphaFor(recordCount)));
}

QString SeriesKindName(SeriesKind kind) {
    // In the order of SeriesKind.
    static const char* const kNames[] = {"年合計値", "年最大値", "年最小値"};
    return QString::fromUtf8(kNames[static_cast<size_t>(kind)]);
}

QString PlottingPositionName(double alpha) {
    struct Named {
        double alpha;
        const char* name;
    };
    static constexpr Named kNamed[] = {{0, "Weibull"},
                                       {0.375, "Blom"},
                                       {kCunnaneAlpha, "Cunnane"},
                                       {0.44, "Gringorten"},
                                       {0.5, "Hazen"}};
    const QString value = QStringLiteral("α = ") + FormatReal(alpha);
    for (const Named& n : kNamed)
        if (n.alpha == alpha)
            return QString::fromLatin1(n.name) + QStringLiteral(" (") + value + QLatin1Char(')');
    return value;
}

bool HasSpread(std::span<const double> values) {
    if (values.empty())
        return false;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    // 16 units in the last place of the largest magnitude: far above the rounding of a mean or
    // a logarithm, far below any spread a measured series has.
    constexpr double kTolerance = 16 * std::numeric_limits<double>::epsilon();
    const double size = std::max(std::fabs(*low), std::fabs(*high));
    return *high - *low > kTolerance * size;
}

QString NoSpreadText() {
    return QStringLiteral("値のばらつきがないため当てはめられません。");
}
