#pragma once

#include "statistics/curve.h"
#include "statistics/returnperiods.h"
#include "statistics/seriesdata.h"

#include <QString>

#include <optional>
#include <span>

struct Sample;

// SLSC up to this is commonly read as a good fit.
inline constexpr double kGoodFitSlsc = 0.04;

struct FitMeasures {
    int recordCount = 0;
    double alpha = 0;
    double logMean = 0;
    double slope = 0;
    std::optional<double> correlation; // none when the values or the deviates do not vary
    // X-COR: the correlation of the values with the line's values at their own deviates.
    std::optional<double> xCor;
    std::optional<double> slsc; // none when the slope is 0
    PeriodTable periods = EmptyPeriods();
    // Why there are no standard errors; empty when every one is there.
    QString errorProblem;
    // Why the line has no fit measures and no periods; empty when it has them.
    QString lineProblem;
};

// The fit measures of the page's line of an analysed series: every figure but the jackknife's
// estimates and errors, whose absence is not explained either.
FitMeasures ComputeLineMeasures(const SeriesData& series, const AnalysisResult& analysis,
                                const DeviateTable& table, double alpha);

// The jackknife of the page's line, filled into measures: the line fitted to the sorted values
// of series (sample) without each in turn. Both the estimates' whole line and the leave-one-out
// lines take the exact normal quantile of the plotting positions: the table's 0.001 steps would
// shift each slope a little, and the estimate multiplies that shift N − 1 times. The values
// shown stay the page's. Needs three records and every leave-one-out line to slope.
void JackknifeLine(const SeriesData& series, const Sample& sample, double alpha,
                   FitMeasures& measures);

// Pearson's correlation of two equally long series; none when either does not vary.
std::optional<double> Correlation(std::span<const double> a, std::span<const double> b);

using BandPoint = CurvePoint;
// A curve runs through the return periods by deviate, from the 1-in-200 dry year up to the
// 1-in-200 wet year; a bound that is not positive has no logarithm and breaks the curve there
// (nothing in its place).
using BandCurve = Curve;
struct ErrorBand {
    BandCurve lower; // values minus one standard error
    BandCurve upper; // values plus one standard error
};
// Nothing when the standard errors are unavailable.
std::optional<ErrorBand> ErrorBandCurves(const FitMeasures& measures);
