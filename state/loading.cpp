#include "state/loading.h"

#include "formats/datafile.h"
#include "formats/filename.h"
#include "formats/inputfile.h"
#include "statistics/dataerror.h"

#include <algorithm>

#include "formats/deviatetablepath.h"

namespace {

StudySettings SettingsOf(const AppState& state) {
    return {state.settings.alpha, state.settings.target, state.settings.selectBy};
}

// Every formula of every period not applicable, for the reason.
void NoFormulas(IntensityStudy& study, const QString& problem) {
    for (size_t k = 0; k < kRainfallPeriodCount; ++k) {
        study.formulas[k].period = kRainfallPeriods[k];
        for (size_t f = 0; f < kIntensityFormulaCount; ++f) {
            FormulaFit fit;
            fit.formula = kIntensityFormulas[f];
            fit.problem = problem;
            study.formulas[k].fits[f] = fit;
        }
    }
}

// Why the durations at fitted cannot be fitted; empty when they can.
QString FitProblem(const IntensityStudy& study, const std::vector<size_t>& fitted) {
    for (size_t i : fitted)
        if (i >= study.durations.size())
            return QStringLiteral("継続時間がありません。");
    if (fitted.size() < kMinFitDurations)
        return QStringLiteral("降雨強度式には %1 つ以上の継続時間が必要ですが、当てはめる"
                              "継続時間は %2 つです。")
            .arg(kMinFitDurations)
            .arg(fitted.size());
    for (size_t i = 0; i < fitted.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (study.durations[fitted[i]].minutes == study.durations[fitted[j]].minutes)
                return QStringLiteral("継続時間 %1 と %2 は同じ長さです。")
                    .arg(study.durations[fitted[j]].label, study.durations[fitted[i]].label);
    return {};
}

// The formulas of the durations the study's fitted names, or why there are none.
void FitFormulas(IntensityFigures& figures) {
    IntensityStudy& study = *figures.study;
    figures.problem = FitProblem(study, study.fitted);
    if (figures.problem.isEmpty())
        study.formulas = FitPeriodFormulas(study.durations, study.fitted);
    else
        NoFormulas(study, figures.problem);
}

// Each duration's values taken again from its study, with the target and the model in force,
// then the formulas.
void RederiveIntensity(AppState& state) {
    if (!state.intensity.study)
        return;
    for (DurationRainfall& d : state.intensity.study->durations) {
        if (!d.study)
            continue;
        Study study = std::move(*d.study);
        SelectTarget(study, state.settings.target);
        d = RainfallOfStudy(std::move(study), d.label, d.minutes, state.intensity.model);
    }
    FitFormulas(state.intensity);
}

bool SameTable(const LoadedDurations& a, const LoadedDurations& b) {
    return a.file == b.file && a.labels == b.labels;
}

} // namespace

ResultTexts AnalyzeSeries(AppState& state) {
    state.study = ComputeStudy(state.study.series, SettingsOf(state), state.deviateTable);
    ++state.studiesComputed;
    if (state.durations.loaded())
        ComputeIntensity(state);
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
    state.intensity.study.reset();
    state.intensity.fitted.reset();
    state.intensity.problem.clear();
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
    durations.rainfall = table.source.aggregate == DurationAggregate::Sum;
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

namespace {

ResultTexts LoadDurationOf(AppState& state, const LoadedDurations& table, int index,
                           bool newTable) {
    // The table may be state.durations itself, which loading a series empties.
    const LoadedDurations durations = table;
    if (index < 0 || index >= durations.series.size())
        throw DataError(QStringLiteral("継続時間がありません。"));
    // Another duration of the same table keeps the figures and the choices of the table.
    const bool sameTable = !newTable && state.durations.loaded() && state.intensity.study &&
                           SameTable(state.durations, durations);
    std::optional<IntensityFigures> kept;
    if (sameTable)
        kept = state.intensity;
    try {
        LoadSeries(state, durations.series[index]);
    } catch (const DataError& error) {
        throw DataError(QStringLiteral("%1\n（継続時間 %2）")
                            .arg(error.message(), durations.names.value(index)),
                        error.line());
    }
    state.durations = durations;
    state.durations.shown = index;
    if (kept) {
        state.intensity = std::move(*kept);
    } else {
        state.intensity.fitted.reset();
        ComputeIntensity(state);
    }
    return state.study.analysis.texts;
}

} // namespace

ResultTexts LoadDuration(AppState& state, const LoadedDurations& durations, int index) {
    return LoadDurationOf(state, durations, index, false);
}

ResultTexts LoadFirstDuration(AppState& state, const LoadedDurations& durations) {
    std::optional<DataError> first;
    for (int i = 0; i < durations.series.size(); ++i) {
        try {
            // A table opened again may have new values under the same labels.
            return LoadDurationOf(state, durations, i, true);
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
    RederiveIntensity(state);
}

void SelectStudyBy(AppState& state, SelectionRule rule) {
    state.settings.selectBy = rule;
    SelectBy(state.study, rule);
}

std::vector<DurationColumn> IntensityColumnsOf(const LoadedDurations& durations) {
    std::vector<DurationColumn> columns;
    for (qsizetype i = 0; i < durations.labels.size() && i < durations.series.size(); ++i) {
        const std::optional<Duration> duration = ParseDuration(durations.labels[i]);
        if (duration && duration->minutes > 0)
            columns.push_back(
                DurationColumn{durations.labels[i], duration->minutes, durations.series[i]});
    }
    return columns;
}

void ComputeIntensity(AppState& state) {
    IntensityFigures& figures = state.intensity;
    figures.study.reset();
    figures.problem.clear();
    if (!state.durations.loaded()) {
        figures.fitted.reset();
        return;
    }
    if (!state.durations.rainfall) {
        figures.problem = QStringLiteral("確率降雨強度式は雨量の継続時間の合計からだけ"
                                         "求められます。");
        return;
    }
    const std::vector<DurationColumn> columns = IntensityColumnsOf(state.durations);
    if (columns.empty()) {
        figures.problem = QStringLiteral("継続時間（10min、1h のような）の列がありません。");
        return;
    }
    std::vector<size_t> fitted = DefaultFitDurations(columns);
    if (figures.fitted && std::all_of(figures.fitted->begin(), figures.fitted->end(),
                                      [&](size_t i) { return i < columns.size(); }))
        fitted = *figures.fitted;
    // The durations are selected by their jackknife errors, as the command line selects them:
    // a bootstrap of every duration would take minutes.
    const RainfallSettings settings{
        {state.settings.alpha, state.settings.target, SelectionRule::Jackknife}, figures.model};
    ++figures.computed;
    try {
        figures.study = ComputeIntensityStudy(columns, fitted, settings, state.deviateTable);
    } catch (const DataError&) {
        // The durations' values are shown all the same; the formulas say why they are missing.
        IntensityStudy study;
        for (const DurationColumn& column : columns)
            study.durations.push_back(
                ComputeDurationRainfall(column, settings, state.deviateTable));
        study.fitted = fitted;
        figures.study = std::move(study);
        FitFormulas(figures);
    }
}

void ChooseIntensityModel(AppState& state, std::optional<ModelId> model) {
    state.intensity.model = model;
    RederiveIntensity(state);
}

void ChooseFitDurations(AppState& state, const std::vector<size_t>& fitted) {
    if (!state.intensity.study)
        throw DataError(QStringLiteral("継続時間の表が読み込まれていません。"));
    if (const QString problem = FitProblem(*state.intensity.study, fitted); !problem.isEmpty())
        throw DataError(problem + QStringLiteral("\n当てはめる継続時間は前のままにします。"));
    state.intensity.fitted = fitted;
    state.intensity.study->fitted = fitted;
    FitFormulas(state.intensity);
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
