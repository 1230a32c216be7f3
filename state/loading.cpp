#include "state/loading.h"

#include "formats/datafile.h"
#include "formats/filename.h"
#include "statistics/dataerror.h"

#include "formats/deviatetablepath.h"

namespace {

StudySettings SettingsOf(const AppState& state) {
    return {state.settings.alpha, state.settings.target, state.settings.selectBy};
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

void SelectStudyBy(AppState& state, SelectionRule rule) {
    state.settings.selectBy = rule;
    SelectBy(state.study, rule);
}

void BootstrapStudy(AppState& state) {
    if (std::optional<BootstrapResult> result =
            ComputeBootstrap(BootstrapInputOf(state.study), state.settings.bootstrap))
        AdoptBootstrap(state.study, std::move(*result));
}

DryWetValues ComputeDryWetValues(const AppState& state) {
    return ComputeDryWetValues(state.study.analysis.logMean, state.study.analysis.logOffset10,
                               state.study.analysis.logOffset100);
}

void LoadDeviateTable(AppState& state, const QString& executableDirectory) {
    const auto path = FindDeviateTablePath(state.startDirectory, executableDirectory);
    if (!path)
        // One path a line: the message box would break a list of them inside a path.
        throw DataError(QStringLiteral("%1 が見つかりません。探した場所：\n%2")
                            .arg(kDeviateTableFileName,
                                 DeviateTableCandidates(state.startDirectory, executableDirectory)
                                     .join(QLatin1Char('\n'))));
    ReadDeviateTableFile(*path, state.deviateTable);
    state.deviateTableFileName = *path;
}
