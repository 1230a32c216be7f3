#pragma once

#include "statistics/bootstrap.h"
#include "statistics/datachecks.h"
#include "statistics/distributioncomparison.h"
#include "statistics/fitmeasures.h"
#include "statistics/seriesdata.h"
#include "statistics/target.h"

// What shapes the numbers of a study beyond its series.
struct StudySettings {
    double alpha = 0.5;             // plotting-position parameter
    Target target = kDefaultTarget; // what the selection minimises
    SelectionRule selectBy = SelectionRule::Jackknife;
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
    // Mann–Kendall, Sen's slope and Pettitt on the records in year order; nothing below
    // kChecksMinRecords records.
    std::optional<DataChecks> checks;
    // The models' bootstrap with its settings, once a run for this study has finished; it is
    // slow beside the rest, so it is computed apart (off the interface thread in the window) and
    // adopted by AdoptBootstrap.
    std::optional<BootstrapResult> bootstrap;
};

// The study of series with settings. Throws DataError when the series cannot be analysed (as
// ComputeAnalysis); the fit measures and the models never fail, they say what is missing.
Study ComputeStudy(const SeriesData& series, const StudySettings& settings,
                   const DeviateTable& table);

// Moves the selection to target without fitting anything again.
void SelectTarget(Study& study, Target target);
// The same for a new rule: by the bootstrap error, only models with bootstrap figures can win.
void SelectBy(Study& study, SelectionRule rule);

// What a bootstrap of the study's models needs, copied out of it.
BootstrapInput BootstrapInputOf(const Study& study);
// Keeps a bootstrap computed from BootstrapInputOf(study) and moves the selection when it is by
// the bootstrap error.
void AdoptBootstrap(Study& study, BootstrapResult bootstrap);
