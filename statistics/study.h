#pragma once

#include "statistics/distributioncomparison.h"
#include "statistics/fitmeasures.h"
#include "statistics/seriesdata.h"
#include "statistics/target.h"

// What shapes the numbers of a study beyond its series.
struct StudySettings {
    double alpha = 0.5;             // plotting-position parameter
    Target target = kDefaultTarget; // what the selection minimises
};

// Everything computed from one series and its settings: computed once, when the series, alpha
// or target changes, and read by every view and export, so nothing is computed again on a paint,
// a resize or a print.
struct Study {
    SeriesData series;
    StudySettings settings;
    // The page's analysis: logarithms, ranks, plotting positions, deviates, the line, the
    // statistics boxes.
    AnalysisResult analysis;
    // The fit measures of the page's line, its periods and their jackknife.
    FitMeasures paper;
    // The eleven models with their fits, measures, periods, jackknife and the selection.
    DistributionComparison models;
};

// The study of series with settings. Throws DataError when the series cannot be analysed (as
// ComputeAnalysis); the fit measures and the models never fail, they say what is missing.
Study ComputeStudy(const SeriesData& series, const StudySettings& settings,
                   const DeviateTable& table);

// Moves the selection to target without fitting anything again.
void SelectTarget(Study& study, Target target);
