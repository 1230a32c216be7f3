#include "analysis/fitmeasures.h"

#include "analysis/dataerror.h"
#include "analysis/deviatetable.h"
#include "analysis/mathfunctions.h"
#include "analysis/series.h"

#include <cmath>

namespace {

constexpr size_t kPeriodCount = kReturnPeriods.size();

struct PeriodDeviates {
    std::array<double, kPeriodCount> dry{};
    std::array<double, kPeriodCount> wet{};
};

// The table's 0.001 steps would put T = 80 at 83.3 years and T = 150 at 142.9: only the page's
// own two periods take the table's deviates.
PeriodDeviates DeviatesOfPeriods(const DeviateTable& table) {
    PeriodDeviates z;
    for (size_t k = 0; k < kPeriodCount; ++k) {
        const double T = kReturnPeriods[k];
        const bool page = T == 10 || T == 100;
        z.dry[k] = page ? DeviateAt(table, 1 / T) : StandardNormalQuantile(1 / T);
        z.wet[k] = page ? DeviateAt(table, 1 - 1 / T) : StandardNormalQuantile(1 - 1 / T);
    }
    return z;
}

struct PeriodQuantiles {
    std::array<double, kPeriodCount> dry{};
    std::array<double, kPeriodCount> wet{};
};

// The 1-in-10 and 1-in-100 values go through the offsets the results block prints from, so the
// page and every table agree to the last bit.
PeriodQuantiles QuantilesOf(const PeriodDeviates& z, double logMean, double slope,
                            double logOffset10, double logOffset100) {
    const DryWetValues page = ComputeDryWetValues(logMean, logOffset10, logOffset100);
    PeriodQuantiles q;
    for (size_t k = 0; k < kPeriodCount; ++k) {
        switch (kReturnPeriods[k]) {
        case 10:
            q.dry[k] = page.dry10;
            q.wet[k] = page.wet10;
            break;
        case 100:
            q.dry[k] = page.dry100;
            q.wet[k] = page.wet100;
            break;
        default:
            q.dry[k] = std::pow(10.0, logMean + slope * z.dry[k]);
            q.wet[k] = std::pow(10.0, logMean + slope * z.wet[k]);
        }
    }
    return q;
}

QString RecordName(const AppState& state, int i) {
    return QStringLiteral("%1 件目（%2 年）")
        .arg(i + 1)
        .arg(state.series.years[static_cast<size_t>(i)]);
}

// The whole analysis again without each record in turn. Fills the errors of measures, or says
// why there are none.
void Jackknife(const AppState& state, const PeriodDeviates& z, FitMeasures& measures) {
    const int n = state.series.recordCount;
    if (n < 3) {
        measures.errorProblem =
            QStringLiteral(
                "記録が %1 件しかないため、標準誤差は求められません（3 件以上が必要です）。")
                .arg(n);
        return;
    }
    std::vector<PeriodQuantiles> runs(static_cast<size_t>(n));
    // The values without record i; moving from i to i + 1 puts record i back in its place.
    std::array<double, kMaxRecords> others{};
    std::array<double, kMaxRecords> otherLogs{};
    std::copy(state.series.values.begin() + 1, state.series.values.begin() + n, others.begin());
    std::copy(state.analysis.logValues.begin() + 1, state.analysis.logValues.begin() + n,
              otherLogs.begin());
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            others[static_cast<size_t>(i - 1)] = state.series.values[static_cast<size_t>(i - 1)];
            otherLogs[static_cast<size_t>(i - 1)] =
                state.analysis.logValues[static_cast<size_t>(i - 1)];
        }
        AnalysisResult r;
        try {
            r = ComputeAnalysis(others.data(), n - 1, state.settings.alpha, state.deviateTable,
                                otherLogs.data());
        } catch (const DataError& error) {
            measures.errorProblem = QStringLiteral("%1を除くと解析できないため、標準誤差は求め"
                                                   "られません。\n%2")
                                        .arg(RecordName(state, i), error.message());
            return;
        }
        // A level line puts every return period on one value: no spread to judge by.
        if (r.slope == 0) {
            measures.errorProblem = QStringLiteral("%1を除くと回帰直線の傾きが 0 になるため、"
                                                   "標準誤差は求められません。")
                                        .arg(RecordName(state, i));
            return;
        }
        runs[static_cast<size_t>(i)] =
            QuantilesOf(z, r.logMean, r.slope, r.logOffset10, r.logOffset100);
    }

    std::vector<double> leftOut(static_cast<size_t>(n));
    auto figures = [&](auto member, size_t k, double full, std::optional<double>& estimate,
                       std::optional<double>& error) {
        for (size_t j = 0; j < leftOut.size(); ++j)
            leftOut[j] = (runs[j].*member)[k];
        if (const std::optional<JackknifeFigures> f = JackknifeOf(full, leftOut)) {
            estimate = f->estimate;
            error = f->error;
        }
    };
    for (size_t k = 0; k < kPeriodCount; ++k) {
        ReturnPeriodValues& p = measures.periods[k];
        figures(&PeriodQuantiles::dry, k, p.dry, p.dryJackknife, p.dryError);
        figures(&PeriodQuantiles::wet, k, p.wet, p.wetJackknife, p.wetError);
        if (!p.dryError || !p.wetError) {
            measures.errorProblem =
                QStringLiteral("標準誤差が数値の範囲を超えたため、求められません。");
            for (ReturnPeriodValues& period : measures.periods)
                period.dryError = period.wetError = period.dryJackknife = period.wetJackknife =
                    std::nullopt;
            return;
        }
    }
}

} // namespace

std::optional<JackknifeFigures> JackknifeOf(double full, std::span<const double> leftOut) {
    const double n = static_cast<double>(leftOut.size());
    double mean = 0;
    for (double v : leftOut)
        mean += v;
    mean /= n;
    double squares = 0;
    for (double v : leftOut)
        squares += (v - mean) * (v - mean);
    const double error = std::sqrt((n - 1) / n * squares);
    const double estimate = n * full - (n - 1) * mean;
    if (!std::isfinite(error) || !std::isfinite(estimate))
        return std::nullopt;
    return JackknifeFigures{estimate, error};
}

std::optional<double> Correlation(std::span<const double> a, std::span<const double> b) {
    const size_t n = std::min(a.size(), b.size());
    if (n == 0)
        return std::nullopt;
    double ma = 0;
    double mb = 0;
    for (size_t i = 0; i < n; ++i) {
        ma += a[i];
        mb += b[i];
    }
    ma /= n;
    mb /= n;
    double saa = 0;
    double sbb = 0;
    double sab = 0;
    for (size_t i = 0; i < n; ++i) {
        const double da = a[i] - ma;
        const double db = b[i] - mb;
        saa += da * da;
        sbb += db * db;
        sab += da * db;
    }
    const double r = sab / std::sqrt(saa * sbb);
    if (!(saa * sbb > 0) || !std::isfinite(r))
        return std::nullopt;
    return r;
}

bool IsExtrapolation(int period, int recordCount) {
    return period > 2 * recordCount;
}

FitMeasures ComputeFitMeasures(const AppState& state) {
    FitMeasures m = ComputeLineMeasures(state);
    Jackknife(state, DeviatesOfPeriods(state.deviateTable), m);
    return m;
}

FitMeasures ComputeLineMeasures(const AppState& state) {
    FitMeasures m;
    const int n = state.series.recordCount;
    m.recordCount = n;
    m.alpha = state.settings.alpha;
    m.logMean = state.analysis.logMean;
    m.slope = state.analysis.slope;

    const size_t count = static_cast<size_t>(std::max(n, 0));
    m.correlation = Correlation(std::span(state.analysis.logValues.data(), count),
                                std::span(state.analysis.deviates.data(), count));
    // Each value beside the line's value at its own plotted deviate.
    std::array<double, kMaxRecords> onLine{};
    for (size_t i = 0; i < count; ++i)
        onLine[i] = std::pow(10.0, state.analysis.logMean +
                                       state.analysis.slope * state.analysis.deviates[i]);
    if (state.analysis.slope != 0)
        m.xCor = Correlation(std::span(state.series.values.data(), count),
                             std::span(onLine.data(), count));

    if (state.analysis.slope != 0 && n > 0) {
        double squares = 0;
        for (int i = 0; i < n; ++i) {
            const double d =
                (state.analysis.logValues[static_cast<size_t>(i)] - state.analysis.logMean) /
                    state.analysis.slope -
                state.analysis.deviates[static_cast<size_t>(i)];
            squares += d * d;
        }
        const double range =
            std::fabs(DeviateAt(state.deviateTable, 0.99) - DeviateAt(state.deviateTable, 0.01));
        const double slsc = std::sqrt(squares / n) / range;
        if (std::isfinite(slsc))
            m.slsc = slsc;
    }

    const PeriodDeviates z = DeviatesOfPeriods(state.deviateTable);
    const PeriodQuantiles q = QuantilesOf(z, state.analysis.logMean, state.analysis.slope,
                                          state.analysis.logOffset10, state.analysis.logOffset100);
    for (size_t k = 0; k < kPeriodCount; ++k) {
        ReturnPeriodValues& p = m.periods[k];
        p.period = kReturnPeriods[k];
        p.dryDeviate = z.dry[k];
        p.wetDeviate = z.wet[k];
        p.dry = q.dry[k];
        p.wet = q.wet[k];
        p.extrapolation = IsExtrapolation(p.period, n);
    }
    return m;
}

std::optional<ErrorBand> ErrorBandCurves(const FitMeasures& measures) {
    if (!measures.errorProblem.isEmpty())
        return std::nullopt;
    ErrorBand band;
    std::optional<double> lastDeviate;
    auto add = [&](double deviate, double value, double error) {
        // The median year is the same point on both sides.
        if (lastDeviate == deviate)
            return;
        lastDeviate = deviate;
        auto point = [&](double bound) -> std::optional<BandPoint> {
            if (!(bound > 0))
                return std::nullopt;
            return BandPoint{deviate, std::log10(bound)};
        };
        band.lower.push_back(point(value - error));
        band.upper.push_back(point(value + error));
    };
    for (size_t k = kPeriodCount; k-- > 0;) {
        const ReturnPeriodValues& p = measures.periods[k];
        add(p.dryDeviate, p.dry, p.dryError.value_or(0));
    }
    for (const ReturnPeriodValues& p : measures.periods)
        add(p.wetDeviate, p.wet, p.wetError.value_or(0));
    return band;
}
