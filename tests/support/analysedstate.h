#pragma once

#include "analysis/appstate.h"
#include "analysis/deviatetable.h"
#include "analysis/series.h"

#include <QList>

// A state with the committed deviate table and values analysed as the open command would,
// the years counted from firstYear.
inline AppState Analysed(const QList<double>& values, double alpha = 0.5, int firstYear = 1990) {
    AppState state;
    state.startDirectory = QStringLiteral(QUORVEL_SOURCE_DIR "/data");
    LoadDeviateTable(state);
    state.settings.alpha = alpha;
    for (double v : values) {
        state.series.years[state.series.recordCount] = firstYear + state.series.recordCount;
        state.series.values[state.series.recordCount++] = v;
    }
    AnalyzeSeries(state);
    return state;
}
