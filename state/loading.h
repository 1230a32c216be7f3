#pragma once

#include "formats/deviatetable.h"
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

// Studies series with the settings and, only when that succeeds, makes it the loaded series.
// A failure names state.dataFileName.
ResultTexts LoadSeries(AppState& state, const SeriesData& series);

// Reads state.dataFileName and studies it; only when both succeed is the study replaced.
ResultTexts LoadDataFile(AppState& state);

// The target of the selection changed: the study's selection moves, nothing is fitted again.
void SelectStudyTarget(AppState& state, Target target);

// The rule of the selection changed: as for the target.
void SelectStudyBy(AppState& state, SelectionRule rule);

// The study's bootstrap with the settings' bootstrap, computed here and now (the command line's
// way; the window runs it off its thread with BootstrapRunner).
void BootstrapStudy(AppState& state);

// The 1-in-10 and 1-in-100 values of the loaded series' page line.
DryWetValues ComputeDryWetValues(const AppState& state);
