// ndlist.txt as start-up reads it: either a usable table or a refusal that leaves the old one.

#include "analysis/dataerror.h"
#include "analysis/deviatetable.h"
#include "analysis/series.h"
#include "chart/screenchart.h"
#include "fuzzcheck.h"
#include "print/printedchart.h"
#include "recordingsurface.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_directory;

void CheckDrawn(const RecordingSurface& surface, const char* where) {
    for (const RecordingSurface::Op& op : surface.ops) {
        Require(std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(op.x2) &&
                    std::isfinite(op.y2),
                where, QStringLiteral("a coordinate is not finite"));
        if (op.kind == RecordingSurface::Kind::Print)
            Require(!ShowsNonFinite(op.text), where, op.text);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_directory = std::make_unique<QTemporaryDir>();
    Require(g_directory->isValid(), "temporary directory");
    return 0;
}

// The bytes are the file's content.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        QFile file(g_directory->filePath(kDeviateTableFileName));
        Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "write ndlist.txt");
        Require(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size),
                "write ndlist.txt");
    }
    AppState state;
    state.startDirectory = g_directory->path();
    state.deviateTable.fill(-7);
    if (!CatchOnly<DataError>("LoadDeviateTable", [&] { LoadDeviateTable(state); })) {
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
    CatchOnly<DataError>("ComputeAnalysis", [&] {
        const AnalysisResult r = ComputeAnalysis(values, std::size(values), 0.5, table);
        state.recordCount = std::size(values);
        state.logValues = r.logValues;
        state.deviates = r.deviates;
        state.logMean = r.logMean;
        state.slope = r.slope;
        state.logOffset10 = r.logOffset10;
        state.logOffset100 = r.logOffset100;
    });
    state.scaleMinIndex = 1;
    state.scaleMaxIndex = 3;
    state.analysisMode = 2;
    state.solidLineWidth = 3;
    state.dashedLineWidth = 2;
    state.regressionLineWidth = 5;
    RecordingSurface screen;
    MustNotThrow("DrawScreenChart", [&] { DrawScreenChart(state, screen); });
    CheckDrawn(screen, "screen");
    RecordingSurface paper;
    MustNotThrow("DrawPrintedChart", [&] {
        DrawPrintedChart(state, paper);
        DrawPrintedPoints(state, paper);
    });
    CheckDrawn(paper, "paper");
    return 0;
}
