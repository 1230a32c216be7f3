#include "state/loading.h"

#include "formats/datafile.h"
#include "formats/filename.h"
#include "formats/inputfile.h"
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
    state.durations = LoadedDurations();
    return state.study.analysis.texts;
}

ResultTexts LoadDataFile(AppState& state) {
    if (IsDurationTable(ReadInputFileHead(state.dataFileName, 4096)))
        return LoadFirstDuration(
            state, DurationsOfTableFile(ReadDurationTable(state.dataFileName), state.dataFileName));
    return LoadSeries(state, ReadDataFile(state.dataFileName));
}

LoadedDurations DurationsOfTable(const DurationTable& table) {
    LoadedDurations durations;
    durations.file = table.source.file;
    for (qsizetype i = 0; i < table.series.size(); ++i) {
        durations.labels << table.series[i].duration.label;
        durations.names << DurationName(table.series[i].duration);
        durations.axisTitles << DurationAxisTitle(table, int(i));
        durations.series << DurationSeriesData(table, int(i));
    }
    return durations;
}

LoadedDurations DurationsOfTableFile(const DurationTableFile& table, const QString& path) {
    LoadedDurations durations;
    durations.file = path;
    durations.labels = table.labels;
    durations.series = table.series;
    for (const QString& label : table.labels) {
        const std::optional<Duration> duration = DurationOfLabel(label);
        durations.names << (duration ? DurationName(*duration) : label);
        durations.axisTitles << DurationLabelAxisTitle(label);
    }
    return durations;
}

ResultTexts LoadDuration(AppState& state, const LoadedDurations& durations, int index) {
    if (index < 0 || index >= durations.series.size())
        throw DataError(QStringLiteral("継続時間がありません。"));
    try {
        LoadSeries(state, durations.series[index]);
    } catch (const DataError& error) {
        throw DataError(QStringLiteral("%1\n（継続時間 %2）")
                            .arg(error.message(), durations.names.value(index)),
                        error.line());
    }
    state.durations = durations;
    state.durations.shown = index;
    return state.study.analysis.texts;
}

ResultTexts LoadFirstDuration(AppState& state, const LoadedDurations& durations) {
    std::optional<DataError> first;
    for (int i = 0; i < durations.series.size(); ++i) {
        try {
            return LoadDuration(state, durations, i);
        } catch (const DataError& error) {
            if (!first)
                first = error;
        }
    }
    if (first)
        throw *first;
    throw DataError(QStringLiteral("継続時間がありません。"));
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
