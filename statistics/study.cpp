#include "statistics/study.h"

#include "statistics/deviates.h"
#include "statistics/distributionfits.h"
#include "statistics/series.h"

#include <algorithm>
#include <vector>

Study ComputeStudy(const SeriesData& series, const StudySettings& settings,
                   const DeviateTable& table) {
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
    return study;
}

void SelectTarget(Study& study, Target target) {
    study.settings.target = target;
    SelectModel(study.models, target);
}
