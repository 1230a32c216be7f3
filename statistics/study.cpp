#include "statistics/study.h"

#include "statistics/deviates.h"
#include "statistics/distributionfits.h"
#include "statistics/numeric.h"
#include "statistics/series.h"

#include <algorithm>
#include <vector>

Study ComputeStudy(const SeriesData& series, const StudySettings& settings,
                   const DeviateTable& table) {
    ClearUpperVectorState();
    Study study;
    study.analysis =
        ComputeAnalysis(series.values.data(), series.recordCount, settings.alpha, table);
    study.series = series;
    study.settings = settings;
    const int n = std::clamp(series.recordCount, 0, kMaxRecords);
    std::vector<double> sorted(series.values.begin(), series.values.begin() + n);
    std::sort(sorted.begin(), sorted.end());
    // One set of logarithms, roots and normal scores serves the page's jackknife and every model.
    const SampleArrays arrays(sorted, settings.alpha);
    const Sample sample = arrays.of(sorted);
    study.paper = ComputeLineMeasures(series, study.analysis, table, settings.alpha);
    JackknifeLine(series, sample, settings.alpha, study.paper);
    const CurveSpan span{DeviateAt(table, kCurveLowestProbability),
                         DeviateAt(table, kCurveHighestProbability)};
    study.models = CompareDistributions(study.paper, sample, settings.alpha, settings.target, span);
    SelectTarget(study, settings.target);
    study.checks = ComputeDataChecks(series);
    return study;
}

void SelectTarget(Study& study, Target target) {
    study.settings.target = target;
    if (study.settings.selectBy == SelectionRule::Jackknife) {
        SelectModel(study.models, target);
        return;
    }
    TargetErrors errors{};
    if (study.bootstrap)
        for (size_t m = 0; m < kModelCount; ++m)
            errors[m] = study.bootstrap->models[m].targetError(target);
    SelectModel(study.models, target, &errors);
}

void SelectBy(Study& study, SelectionRule rule) {
    study.settings.selectBy = rule;
    SelectTarget(study, study.settings.target);
}

BootstrapInput BootstrapInputOf(const Study& study) {
    BootstrapInput input;
    const int n = std::clamp(study.series.recordCount, 0, kMaxRecords);
    input.values.assign(study.series.values.begin(), study.series.values.begin() + n);
    input.alpha = study.settings.alpha;
    for (size_t m = 0; m < kModelCount; ++m)
        input.models[m] = study.models.models[m].model;
    // The page's line stands on the table's deviates; its resamples are fitted, and it is
    // judged, at the exact normal scores, so the whole series' line is that one too.
    const size_t line = static_cast<size_t>(ModelId::Ln2Paper);
    if (input.models[line].applicable() && n > 0) {
        std::vector<double> sorted = input.values;
        std::sort(sorted.begin(), sorted.end());
        const SampleArrays arrays(sorted, input.alpha);
        input.models[line] = FitSample(ModelId::Ln2Paper, arrays.of(sorted), input.alpha);
    }
    return input;
}

void AdoptBootstrap(Study& study, BootstrapResult bootstrap) {
    study.bootstrap = std::move(bootstrap);
    SelectTarget(study, study.settings.target);
}
