#pragma once

// States the tests start from, built as the program builds them.

#include "state/appstate.h"
#include "formats/deviatetable.h"
#include "statistics/distributioncomparison.h"
#include "state/loading.h"

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

// The state the first successful load of series leaves: the real table, the scale that shows
// the series (10 to 1000 for an empty one), widths 3, 2 and 5, analysis mode 0, alpha 0.5.
inline AppState FirstLoadState(const SeriesData& series = {}) {
    AppState state;
    state.deviateTable = RealDeviateTable();
    state.study.series = series;
    ApplyFirstLoadDefaults(state.settings, state.study.series);
    return state;
}

// A series of values, one a year from firstYear, analysed with alpha after the first-load
// defaults. Throws DataError as the analysis does.
inline AppState AnalysedState(const QList<double>& values, double alpha = 0.5,
                              int firstYear = 1990) {
    SeriesData series;
    for (double v : values) {
        series.years[series.recordCount] = firstYear + series.recordCount;
        series.values[series.recordCount++] = v;
    }
    AppState state = FirstLoadState(series);
    state.settings.alpha = alpha;
    AnalyzeSeries(state);
    return state;
}

// The candidate distributions of a state's study with the selection moved to target, as the
// comparison window's target box moves it.
inline DistributionComparison StudyModels(const AppState& state, Target target = kDefaultTarget) {
    DistributionComparison models = state.study.models;
    SelectModel(models, target);
    return models;
}
