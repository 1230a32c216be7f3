#pragma once

#include "statistics/seriesdata.h"

#include <QString>

#include <span>

// Analyses n values with the plotting-position parameter alpha. Throws DataError (a value not
// greater than 0, fewer than two records, a degenerate fit, a table index above 499 with the
// largest alpha the series allows, statistics or dry/wet-year values that are not finite).
// knownLogs, when given, holds log10 of the same n values: the error estimate re-runs the
// analysis once per record, and the logarithms would otherwise be most of its time.
AnalysisResult ComputeAnalysis(const double* values, int n, double alpha, const DeviateTable& table,
                               const double* knownLogs = nullptr);

// The 1-in-10 and 1-in-100 dry-year and wet-year values of the fitted line, before rounding.
struct DryWetValues {
    double dry10 = 0;
    double dry100 = 0;
    double wet10 = 0;
    double wet100 = 0;
};
DryWetValues ComputeDryWetValues(double logMean, double logOffset10, double logOffset100);

// The largest alpha "再計算" takes for a series of recordCount records: beyond it the extreme
// plotting positions fall outside the loaded part of the deviate table.
double MaxAlphaFor(int recordCount);

// The message for an alpha above MaxAlphaFor(recordCount).
QString AlphaTooLargeText(double alpha, int recordCount);

// The plotting-position formulas practice names by their alpha. Cunnane's is the one the choice
// among the candidate distributions usually takes.
inline constexpr double kCunnaneAlpha = 0.4;
// "Cunnane (α = 0.4)" for Weibull's 0, Blom's 0.375, Cunnane's 0.4, Gringorten's 0.44 and Hazen's
// 0.5; "α = 0.3" for any other.
QString PlottingPositionName(double alpha);
// True when the values vary by more than their rounding: the range must exceed a few units in
// the last place of the largest magnitude. Seven records of 1591.9 have none, though the mean of
// their logarithms rounds away from log10(1591.9).
bool HasSpread(std::span<const double> values);

// Why a series whose values do not vary has no line, no fit and no figure of one.
QString NoSpreadText();
