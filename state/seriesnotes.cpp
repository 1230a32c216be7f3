#include "state/seriesnotes.h"

#include "statistics/numeric.h"

#include <QMap>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

namespace {

// The menu's ends as the numbers a file would hold, so that "0.1" in a file lies on the scale.
constexpr std::array<double, 7> kPowersOfTen = {0.1, 1, 10, 100, 1000, 10000, 100000};
constexpr int32_t kLowestMin = -1;
constexpr int32_t kHighestMin = 3;
constexpr int32_t kLowestMax = 1;
constexpr int32_t kHighestMax = 5;

double PowerOfTen(int32_t exponent) {
    return kPowersOfTen[static_cast<size_t>(exponent + 1)];
}

int Outside(const SeriesData& series, ScalePair scale) {
    const int n = std::clamp(series.recordCount, 0, kMaxRecords);
    const double low = PowerOfTen(scale.minIndex);
    const double high = PowerOfTen(scale.maxIndex);
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const double v = series.values[static_cast<size_t>(i)];
        if (!(v >= low && v <= high))
            ++count;
    }
    return count;
}

bool ValidScale(ScalePair scale) {
    return scale.minIndex >= kLowestMin && scale.minIndex <= kHighestMin &&
           scale.maxIndex >= kLowestMax && scale.maxIndex <= kHighestMax &&
           scale.minIndex < scale.maxIndex;
}

// "1950～1959" for a run, the year alone otherwise; at most maxRuns runs are listed, then how
// many years the rest hold.
QString YearList(const QList<YearRun>& runs, int maxRuns) {
    QStringList listed;
    int64_t left = 0;
    for (const YearRun& run : runs) {
        if (listed.size() < maxRuns)
            listed << (run.first == run.last
                           ? QString::number(run.first)
                           : QStringLiteral("%1～%2").arg(run.first).arg(run.last));
        else
            left += int64_t(run.last) - run.first + 1;
    }
    QString text = listed.join(QStringLiteral("、"));
    if (left > 0)
        text += QStringLiteral(" ほか %1 年").arg(left);
    return text;
}

void AddYears(QList<YearRun>& runs, int32_t first, int32_t last) {
    if (!runs.isEmpty() && int64_t(runs.last().last) + 1 == first)
        runs.last().last = last;
    else
        runs << YearRun{first, last};
}

} // namespace

ScalePair FittingScale(const SeriesData& series) {
    const ScalePair usual;
    const int n = std::clamp(series.recordCount, 0, kMaxRecords);
    if (n == 0 || Outside(series, usual) == 0)
        return usual;
    double logLow = HUGE_VAL;
    double logHigh = -HUGE_VAL;
    for (int i = 0; i < n; ++i) {
        const double v = series.values[static_cast<size_t>(i)];
        if (v > 0 && std::isfinite(v)) {
            logLow = std::min(logLow, std::log10(v));
            logHigh = std::max(logHigh, std::log10(v));
        }
    }
    const double middle = logLow <= logHigh ? (logLow + logHigh) / 2 : 2;
    ScalePair best = usual;
    std::tuple<int, int, double> bestKey{n + 1, 0, 0};
    for (int32_t lo = kLowestMin; lo <= kHighestMin; ++lo) {
        for (int32_t hi = std::max(lo + 1, kLowestMax); hi <= kHighestMax; ++hi) {
            const ScalePair pair{lo, hi};
            const std::tuple<int, int, double> key{Outside(series, pair), hi - lo,
                                                   std::fabs((lo + hi) / 2.0 - middle)};
            // Strictly better only: of two equal pairs the lower, met first, stays.
            if (key < bestKey) {
                bestKey = key;
                best = pair;
            }
        }
    }
    return best;
}

int PointsOutsideScale(const AppState& state) {
    const ScalePair scale{state.settings.scaleMinIndex, state.settings.scaleMaxIndex};
    return ValidScale(scale) ? Outside(state.study.series, scale) : 0;
}

QString OutsideScaleText(const AppState& state) {
    const int outside = PointsOutsideScale(state);
    if (outside == 0)
        return {};
    return QStringLiteral("横軸 %1～%2 の外にデータが %3 個あります。")
        .arg(PowerOfTenText(state.settings.scaleMinIndex),
             PowerOfTenText(state.settings.scaleMaxIndex))
        .arg(outside);
}

YearGaps FindYearGaps(const SeriesData& series) {
    const int n = std::clamp(series.recordCount, 0, kMaxRecords);
    YearGaps gaps;
    if (n == 0)
        return gaps;
    QMap<int32_t, int> counts;
    for (int i = 0; i < n; ++i)
        ++counts[series.years[static_cast<size_t>(i)]];
    int32_t previous = counts.firstKey();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > 1)
            AddYears(gaps.repeated, it.key(), it.key());
        if (int64_t(it.key()) > int64_t(previous) + 1)
            AddYears(gaps.missing, previous + 1, it.key() - 1);
        previous = it.key();
    }
    return gaps;
}

YearGaps FaultYearGaps(const SeriesData& series) {
    const YearGaps gaps = FindYearGaps(series);
    YearGaps faults{gaps.repeated, {}};
    QList<int32_t> leftOut = series.origin.leftOutYears;
    std::sort(leftOut.begin(), leftOut.end());
    for (const YearRun& run : gaps.missing) {
        int64_t next = run.first; // the first year of the run not accounted for
        for (auto it = std::lower_bound(leftOut.cbegin(), leftOut.cend(), run.first);
             it != leftOut.cend() && *it <= run.last; ++it) {
            if (*it > next)
                faults.missing << YearRun{int32_t(next), *it - 1};
            next = int64_t(*it) + 1;
        }
        if (next <= run.last)
            faults.missing << YearRun{int32_t(next), run.last};
    }
    return faults;
}

QString YearGapsText(const YearGaps& gaps) {
    constexpr int kRunsListed = 10;
    QStringList sentences;
    if (!gaps.repeated.isEmpty())
        sentences << QStringLiteral("同じ年が 2 回以上あります：%1。")
                         .arg(YearList(gaps.repeated, kRunsListed));
    if (!gaps.missing.isEmpty())
        sentences << QStringLiteral("抜けている年があります：%1。")
                         .arg(YearList(gaps.missing, kRunsListed));
    return sentences.join(QString());
}

void ApplyFirstLoadDefaults(ChartSettings& settings, const SeriesData& series) {
    const ScalePair scale = FittingScale(series);
    settings.scaleMaxIndex = scale.maxIndex;
    settings.scaleMinIndex = scale.minIndex;
    settings.solidLineWidth = 3;
    settings.dashedLineWidth = 2;
    settings.regressionLineWidth = 5;
    settings.analysisMode = 0;
    settings.defaultsApplied = 1;
}
