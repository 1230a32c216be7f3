// ndlist.txt's content as start-up parses it: either a usable table or a refusal that leaves the
// old one. Opening the file (regular files only, bounded size) has its own tests; parsing the
// bytes directly keeps the run fast enough for millions of inputs.

#include "statistics/dataerror.h"
#include "formats/deviatetable.h"
#include "state/loading.h"
#include "statistics/study.h"
#include "chart/screenchart.h"
#include "fuzzcheck.h"
#include "fuzzdraw.h"
#include "print/printedchart.h"
#include "recordingsurface.h"

#include <cmath>
#include <cstdint>

// The bytes are the file's content.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    AppState state;
    state.deviateTable.fill(-7);
    if (!CatchOnly<DataError>("ParseDeviateTable",
                              [&] { ParseDeviateTable(bytes, state.deviateTable); })) {
        for (double z : state.deviateTable)
            Require(z == -7, "a refused table changed the loaded one");
        return 0;
    }

    const DeviateTable& table = state.deviateTable;
    for (int i = 0; i < kDeviateTableLoaded; ++i) {
        const QString element = QStringLiteral("element %1: %2").arg(i).arg(table[i], 0, 'g', 17);
        Require(std::isfinite(table[i]), "not finite", element);
        Require(table[i] >= 0, "negative", element);
        Require(i == 0 || table[i] >= table[i - 1], "decreasing", element);
    }
    for (int i = kDeviateTableLoaded; i < kDeviateTableSize; ++i)
        Require(table[i] == 0, "an element beyond 499 is not 0");

    // An accepted table carries every later load and drawing.
    const double values[] = {1591.9, 1772.5, 1598.6, 1578.8, 1448.6, 1210.2, 2003.4};
    SeriesData series;
    for (const double v : values) {
        series.years[size_t(series.recordCount)] = 1990 + series.recordCount;
        series.values[size_t(series.recordCount++)] = v;
    }
    CatchOnly<DataError>("ComputeStudy",
                         [&] { state.study = ComputeStudy(series, StudySettings{}, table); });
    ApplyFirstLoadDefaults(state.settings, state.study.series);
    state.settings.analysisMode = 2;
    DrawBothChecked(state);
    return 0;
}
