#pragma once

#include "formats/deviatetable.h"
#include "formats/durations.h"
#include "state/appstate.h"
#include "statistics/series.h"

// The procedures that replace the loaded series and its study in the application's state. Each
// computes the study once; on failure the state is left untouched and DataError says why.

// Reads ndlist.txt into deviateTable[0..499]; elements 500..512 are left at 0. The file is the
// first found of startDirectory/ndlist.txt and the installed copies by executableDirectory
// (FindDeviateTablePath). Throws DataError naming the condition (no file, naming every path
// tried; or what ReadDeviateTableFile finds wrong).
void LoadDeviateTable(AppState& state, const QString& executableDirectory = QString());

// Studies the loaded series again with the settings' alpha and target.
ResultTexts AnalyzeSeries(AppState& state);

// Studies series with the settings and, only when that succeeds, makes it the loaded series, a
// series of no duration table. A failure names state.dataFileName.
ResultTexts LoadSeries(AppState& state, const SeriesData& series);

// Reads state.dataFileName and studies it; only when both succeed is the study replaced. A
// duration table ("year,1h,...") loads its first duration that can be studied, as
// LoadFirstDuration does.
ResultTexts LoadDataFile(AppState& state);

// The durations of a table an import built, or of a table file read back.
LoadedDurations DurationsOfTable(const DurationTable& table);
LoadedDurations DurationsOfTableFile(const DurationTableFile& table, const QString& path);

// Studies the series of one duration and, only when that succeeds, makes it the loaded series
// with the table in state.durations. A failure names the duration.
ResultTexts LoadDuration(AppState& state, const LoadedDurations& durations, int index);
// The first duration that can be studied; when none can, the first one's failure.
ResultTexts LoadFirstDuration(AppState& state, const LoadedDurations& durations);

// The rainfall durations of a table as the formulas take them: every column whose label is a
// duration (flow-duration values are not).
std::vector<DurationColumn> IntensityColumnsOf(const LoadedDurations& durations);

// state.intensity computed from state.durations with the settings and the choices. Never
// throws: what cannot be computed is told in state.intensity.problem.
void ComputeIntensity(AppState& state);

// One model for every duration, or each one's selected model: the values are taken again from
// each duration's study, nothing is fitted again.
void ChooseIntensityModel(AppState& state, std::optional<ModelId> model);

// The durations fitted, as indices into state.intensity.study->durations. Throws DataError for
// fewer than three, two of the same length or an index out of range, and keeps the previous
// choice.
void ChooseFitDurations(AppState& state, const std::vector<size_t>& fitted);

// The target of the selection changed: the study's selection moves, nothing is fitted again.
void SelectStudyTarget(AppState& state, Target target);

// The rule of the selection changed: as for the target.
void SelectStudyBy(AppState& state, SelectionRule rule);

// The study's bootstrap with the settings' bootstrap, computed here and now (the command line's
// way; the window runs it off its thread with BootstrapRunner).
void BootstrapStudy(AppState& state);

// The 1-in-10 and 1-in-100 values of the loaded series' page line.
DryWetValues ComputeDryWetValues(const AppState& state);
