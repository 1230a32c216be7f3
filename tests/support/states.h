#pragma once

// States the tests start from, built as the program builds them.

#include "analysis/appstate.h"
#include "analysis/deviatetable.h"
#include "analysis/series.h"

#include <QFile>
#include <QList>

// The committed normal deviate table (a test checks that it matches the generator).
inline const DeviateTable& RealDeviateTable() {
    static const DeviateTable table = [] {
        DeviateTable t{};
        QFile file(QStringLiteral(QUORVEL_SOURCE_DIR "/data/ndlist.txt"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("the deviate table data/ndlist.txt cannot be read");
        ParseDeviateTable(file.readAll(), t);
        return t;
    }();
    return table;
}

// The state the first successful load leaves: the real table, scale 10 to 1000, widths 3, 2
// and 5, analysis mode 0, alpha 0.5.
inline AppState FirstLoadState() {
    AppState state;
    state.deviateTable = RealDeviateTable();
    ApplyFirstLoadDefaults(state.settings);
    return state;
}

// A series of values, one a year from firstYear, analysed with alpha after the first-load
// defaults. Throws DataError as the analysis does.
inline AppState AnalysedState(const QList<double>& values, double alpha = 0.5,
                              int firstYear = 1990) {
    AppState state = FirstLoadState();
    state.settings.alpha = alpha;
    for (double v : values) {
        state.series.years[state.series.recordCount] = firstYear + state.series.recordCount;
        state.series.values[state.series.recordCount++] = v;
    }
    AnalyzeSeries(state);
    return state;
}
