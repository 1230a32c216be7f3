#pragma once

#include "state/appstate.h"
#include "quantiletable.h"

#include <cmath>

// A loaded state as the first load leaves it: scale 10 to 1000, widths 3, 2 and 5.
inline AppState PrintState(int analysisMode = 2, int minIndex = 1, int maxIndex = 3) {
    AppState state;
    state.deviateTable = QuantileTable();
    ApplyFirstLoadDefaults(state.settings, state.study.series);
    state.settings.scaleMinIndex = minIndex;
    state.settings.scaleMaxIndex = maxIndex;
    state.settings.analysisMode = analysisMode;
    state.study.analysis.logMean = 3;
    state.study.analysis.logOffset10 = 0.2;
    state.study.analysis.logOffset100 = 0.5;
    return state;
}

inline void AddRecord(AppState& state, int year, double value, double deviate) {
    const int i = state.study.series.recordCount++;
    state.study.series.years[i] = year;
    state.study.series.values[i] = value;
    state.study.analysis.logValues[i] = std::log10(value);
    state.study.analysis.deviates[i] = deviate;
}

// 0.1 % and 99.9 % lines of the table above, in millimetres with no offset.
inline constexpr double kPrintYBottom = 120 + 30 * 3.0902;
inline constexpr double kPrintYTop = 120 - 30 * 3.0902;
