// The data file as the open command takes it: read, analysed, then drawn on screen and on paper
// in every analysis mode on every scale the menus offer.

#include "analysis/dataerror.h"
#include "analysis/datafile.h"
#include "analysis/deviatetable.h"
#include "analysis/series.h"
#include "chart/screenchart.h"
#include "fuzzcheck.h"
#include "fuzzdraw.h"
#include "print/printedchart.h"
#include "recordingsurface.h"
#include "tools/normalquantile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

DeviateTable g_table{};

AppState StateFor(const SeriesData& series, const AnalysisResult& r, double alpha) {
    AppState state;
    state.deviateTable = g_table;
    state.series = series;
    ApplyFirstLoadDefaults(state.settings, state.series);
    state.settings.alpha = alpha;
    state.analysis = r;
    return state;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ParseDeviateTable(QByteArray::fromStdString(GenerateDeviateList()), g_table);
    return 0;
}

// The first byte is alpha in steps of 1/250 (125 is the default 0.5); the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const double alpha = data[0] / 250.0;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    SeriesData series;
    if (!CatchOnly<DataError>("ParseDataFile", [&] { series = ParseDataFile(bytes); }))
        return 0;
    Require(series.recordCount >= 0 && series.recordCount <= kMaxRecords, "record count");

    AnalysisResult r;
    if (!CatchOnly<DataError>("ComputeAnalysis", [&] {
            r = ComputeAnalysis(series.values.data(), series.recordCount, alpha, g_table);
        }))
        return 0;
    for (const QString* text :
         {&r.texts.arithMean, &r.texts.geoMean, &r.texts.maximum, &r.texts.minimum})
        Require(!ShowsNonFinite(*text), "statistics box", *text);
    // Only elements 0..499 are ever loaded; a plotting position beyond them reads a 0.
    for (int i = 0; i < series.recordCount; ++i)
        Require(std::abs(r.probabilities[i] - 0.5) * 1000 < kDeviateTableLoaded - 0.5,
                "plotting position outside the loaded table",
                QString::number(r.probabilities[i], 'g', 17));

    for (int mode = 0; mode <= 2; ++mode) {
        for (int minIndex = -1; minIndex <= 3; ++minIndex) {
            for (int maxIndex = std::max(minIndex + 1, 1); maxIndex <= 5; ++maxIndex) {
                AppState state = StateFor(series, r, alpha);
                state.settings.analysisMode = mode;
                state.settings.scaleMinIndex = minIndex;
                state.settings.scaleMaxIndex = maxIndex;
                DrawBothChecked(state);
            }
        }
    }
    return 0;
}
