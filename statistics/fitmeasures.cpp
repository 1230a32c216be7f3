#include "statistics/fitmeasures.h"

#include "statistics/deviates.h"
#include "statistics/distributionfits.h"
#include "statistics/mathfunctions.h"
#include "statistics/resampling.h"
#include "statistics/series.h"

#include <algorithm>
#include <cmath>

namespace {

struct PeriodDeviates {
    std::array<double, kPeriodCount> dry{};
    std::array<double, kPeriodCount> wet{};
};

// The table's 0.001 steps would put T = 80 at 83.3 years and T = 150 at 142.9: only the page's
// own two periods take the table's deviates.
PeriodDeviates DeviatesOfPeriods(const DeviateTable& table) {
    PeriodDeviates z;
    for (size_t k = 0; k < kPeriodCount; ++k) {
        const int T = kReturnPeriods[k];
        const bool page = T == 10 || T == 100;
        const double dry = DryProbability(T);
        const double wet = WetProbability(T);
        z.dry[k] = page ? DeviateAt(table, dry) : StandardNormalQuantile(dry);
        z.wet[k] = page ? DeviateAt(table, wet) : StandardNormalQuantile(wet);
    }
    return z;
}

// The 1-in-10 and 1-in-100 values go through the offsets the results block prints from, so the
// page and every table agree to the last bit.
PeriodQuantiles LineQuantiles(const PeriodDeviates& z, double logMean, double slope,
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

// "3 件目（1992 年）": the first record of the series holding value.
QString RecordName(const SeriesData& series, double value) {
    int i = 0;
    while (i + 1 < series.recordCount && series.values[static_cast<size_t>(i)] != value)
        ++i;
    return QStringLiteral("%1 件目（%2 年）").arg(i + 1).arg(series.years[static_cast<size_t>(i)]);
}

} // namespace

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

FitMeasures ComputeLineMeasures(const SeriesData& series, const AnalysisResult& analysis,
                                const DeviateTable& table, double alpha) {
    FitMeasures m;
    const int n = series.recordCount;
    m.recordCount = n;
    m.alpha = alpha;
    m.logMean = analysis.logMean;
    m.slope = analysis.slope;

    const size_t count = static_cast<size_t>(std::clamp(n, 0, kMaxRecords));
    m.periods = EmptyPeriods(n);
    if (!HasSpread(std::span(series.values.data(), count))) {
        m.lineProblem = NoSpreadText();
        m.errorProblem = NoSpreadText();
        return m;
    }
    m.correlation = Correlation(std::span(analysis.logValues.data(), count),
                                std::span(analysis.deviates.data(), count));
    // Each value beside the line's value at its own plotted deviate.
    std::array<double, kMaxRecords> onLine{};
    for (size_t i = 0; i < count; ++i)
        onLine[i] = std::pow(10.0, analysis.logMean + analysis.slope * analysis.deviates[i]);
    if (analysis.slope != 0)
        m.xCor =
            Correlation(std::span(series.values.data(), count), std::span(onLine.data(), count));

    if (analysis.slope != 0 && count > 0) {
        double squares = 0;
        for (size_t i = 0; i < count; ++i) {
            const double d =
                (analysis.logValues[i] - analysis.logMean) / analysis.slope - analysis.deviates[i];
            squares += d * d;
        }
        const double range = std::fabs(DeviateAt(table, 0.99) - DeviateAt(table, 0.01));
        const double slsc = std::sqrt(squares / n) / range;
        if (std::isfinite(slsc))
            m.slsc = slsc;
    }

    const PeriodDeviates z = DeviatesOfPeriods(table);
    const PeriodQuantiles q = LineQuantiles(z, analysis.logMean, analysis.slope,
                                            analysis.logOffset10, analysis.logOffset100);
    m.periods = EmptyPeriods(n);
    for (size_t k = 0; k < kPeriodCount; ++k) {
        ReturnPeriodValues& p = m.periods[k];
        p.dryDeviate = z.dry[k];
        p.wetDeviate = z.wet[k];
        p.dry = q.dry[k];
        p.wet = q.wet[k];
    }
    return m;
}

void JackknifeLine(const SeriesData& series, const Sample& sample, double alpha,
                   FitMeasures& measures) {
    const int n = series.recordCount;
    if (!measures.lineProblem.isEmpty())
        return;
    if (n < 3) {
        measures.errorProblem =
            QStringLiteral(
                "記録が %1 件しかないため、標準誤差は求められません（3 件以上が必要です）。")
                .arg(n);
        return;
    }
    const FittedModel whole = FitSample(ModelId::Ln2Paper, sample, alpha);
    const JackknifeOutcome outcome =
        whole.applicable()
            ? JackknifePeriods(ModelId::Ln2Paper, sample, alpha, whole, measures.periods)
            : JackknifeOutcome{JackknifeOutcome::Ending::OutOfRange, 0, {}};
    switch (outcome.ending) {
    case JackknifeOutcome::Ending::Complete:
        return;
    case JackknifeOutcome::Ending::LeftOutRefused:
        measures.errorProblem =
            QStringLiteral("%1を除くと回帰直線が求められないため、標準誤差は求められません。\n%2")
                .arg(RecordName(series, sample.x[outcome.leftOut]), outcome.problem);
        return;
    case JackknifeOutcome::Ending::OutOfRange:
        measures.errorProblem =
            QStringLiteral("標準誤差が数値の範囲を超えたため、求められません。");
        return;
    }
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
