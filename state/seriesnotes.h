#pragma once

#include "state/appstate.h"

#include <QList>
#include <QString>

#include <cstdint>

// What the program notices about a loaded series without refusing it: the value-axis scale
// that shows it, the points a chosen scale leaves out, and years that repeat or are missing.

// A value-axis scale as exponents of ten, as the 設定 menu offers them.
struct ScalePair {
    int32_t minIndex = 1;
    int32_t maxIndex = 3;
    friend bool operator==(const ScalePair&, const ScalePair&) = default;
};

// The scale a first load takes: 10 to 1000 when every value lies inside it; otherwise, among
// the pairs of the menu, the one that leaves the fewest points outside, then spans the fewest
// decades, then has its middle nearest the middle of the data (in logarithms), then the lower.
// Without records, 10 to 1000.
ScalePair FittingScale(const SeriesData& series);

// How many of the loaded points lie outside the value axis of the chosen scale.
int PointsOutsideScale(const AppState& state);

// The one line that says so, for the screen and the command line ("" when none lie outside).
QString OutsideScaleText(const AppState& state);

// Consecutive years, first to last.
struct YearRun {
    int32_t first = 0;
    int32_t last = 0;
    friend bool operator==(const YearRun&, const YearRun&) = default;
};

// Years that occur more than once, and the years between the first and the last that do not
// occur at all, each as runs of consecutive years in ascending order.
struct YearGaps {
    QList<YearRun> repeated;
    QList<YearRun> missing;
    bool empty() const { return repeated.isEmpty() && missing.isEmpty(); }
};
YearGaps FindYearGaps(const SeriesData& series);

// The gaps that may be faults: those of FindYearGaps less the years an import left out by its
// own rules, which it has told with their reasons.
YearGaps FaultYearGaps(const SeriesData& series);

// One sentence per kind ("" when every year occurs once and none is missing). Runs of
// consecutive years read "1950～1959", and a very long list ends with how many more there are.
QString YearGapsText(const YearGaps& gaps);
