#pragma once

#include "analysis/appstate.h"
#include "analysis/curve.h"

#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

// Return periods in years, from the median year to the 1-in-200 year.
inline constexpr std::array<int, 11> kReturnPeriods{2, 3, 5, 10, 20, 30, 50, 80, 100, 150, 200};

// SLSC up to this is commonly read as a good fit.
inline constexpr double kGoodFitSlsc = 0.04;

struct ReturnPeriodValues {
    int period = 0;
    // z(1/T) and z(1 - 1/T): the table's for T = 10 and 100 (the page's offsets), the exact
    // normal quantile for the other periods.
    double dryDeviate = 0;
    double wetDeviate = 0;
    double dry = 0; // 10^(logMean + slope * dryDeviate)
    double wet = 0;
    std::optional<double> dryJackknife; // jackknife estimate
    std::optional<double> wetJackknife;
    std::optional<double> dryError; // jackknife standard error
    std::optional<double> wetError;
    bool extrapolation = false; // T above twice the record length
};

struct FitMeasures {
    int recordCount = 0;
    double alpha = 0;
    double logMean = 0;
    double slope = 0;
    std::optional<double> correlation; // none when the values or the deviates do not vary
    // X-COR: the correlation of the values with the line's values at their own deviates.
    std::optional<double> xCor;
    std::optional<double> slsc; // none when the slope is 0
    std::array<ReturnPeriodValues, kReturnPeriods.size()> periods{};
    // Why there are no standard errors; empty when every one is there.
    QString errorProblem;
};

// The fit measures of the analysed series in state (recordCount, values, alpha, deviateTable and
// the results of its analysis). The standard errors come from the whole analysis run again
// without each record in turn; they need three records and every re-run to give a sloped line.
FitMeasures ComputeFitMeasures(const AppState& state);
// The same without the jackknife: every figure but the estimates and errors, whose absence is
// not explained either.
FitMeasures ComputeLineMeasures(const AppState& state);

// The jackknife of one figure: from the whole series' value and the values with each record
// left out, the estimate N·x̂ − (N − 1)·x̄ and the error √((N − 1)/N · Σ(x̂_(j) − x̄)²); none
// when either is not a finite number.
struct JackknifeFigures {
    double estimate;
    double error;
};
std::optional<JackknifeFigures> JackknifeOf(double full, std::span<const double> leftOut);

// Pearson's correlation of two equally long series; none when either does not vary.
std::optional<double> Correlation(std::span<const double> a, std::span<const double> b);

// The return period of `period` years falls beyond twice the record length.
bool IsExtrapolation(int period, int recordCount);

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
