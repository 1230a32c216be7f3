#pragma once

#include "analysis/appstate.h"
#include "analysis/series.h"

// The procedures that replace the loaded series and its study in the application's state. Each
// computes the study once; on failure the state is left untouched and DataError says why.

// Studies the loaded series again with the settings' alpha and target.
ResultTexts AnalyzeSeries(AppState& state);

// Studies series with the settings and, only when that succeeds, makes it the loaded series.
// A failure names state.dataFileName.
ResultTexts LoadSeries(AppState& state, const SeriesData& series);

// Reads state.dataFileName and studies it; only when both succeed is the study replaced.
ResultTexts LoadDataFile(AppState& state);

// The target of the selection changed: the study's selection moves, nothing is fitted again.
void SelectStudyTarget(AppState& state, Target target);

// The 1-in-10 and 1-in-100 values of the loaded series' page line.
DryWetValues ComputeDryWetValues(const AppState& state);
