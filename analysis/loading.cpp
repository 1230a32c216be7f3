#include "analysis/loading.h"

#include "analysis/dataerror.h"
#include "analysis/datafile.h"
#include "analysis/filename.h"

namespace {

StudySettings SettingsOf(const AppState& state) {
    return {state.settings.alpha, state.settings.target};
}

} // namespace

ResultTexts AnalyzeSeries(AppState& state) {
    state.study = ComputeStudy(state.study.series, SettingsOf(state), state.deviateTable);
    ++state.studiesComputed;
    return state.study.analysis.texts;
}

ResultTexts LoadSeries(AppState& state, const SeriesData& series) {
    try {
        state.study = ComputeStudy(series, SettingsOf(state), state.deviateTable);
    } catch (const DataError& error) {
        throw DataError(QStringLiteral("データファイルを解析できませんでした。\n%1\n\n%2")
                            .arg(DisplayFileName(state.dataFileName), error.message()),
                        error.line());
    }
    ++state.studiesComputed;
    return state.study.analysis.texts;
}

ResultTexts LoadDataFile(AppState& state) {
    return LoadSeries(state, ReadDataFile(state.dataFileName));
}

void SelectStudyTarget(AppState& state, Target target) {
    state.settings.target = target;
    SelectTarget(state.study, target);
}

DryWetValues ComputeDryWetValues(const AppState& state) {
    return ComputeDryWetValues(state.study.analysis.logMean, state.study.analysis.logOffset10,
                               state.study.analysis.logOffset100);
}
