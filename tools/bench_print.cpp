#include "formats/deviatetable.h"
#include "platform/widgets.h"
#include "print/printjob.h"
#include "report/report.h"
#include "state/loading.h"
#include "state/seriesnotes.h"
#include "tools/bench.h"

#include <QTemporaryDir>

#include <cmath>

void BenchPrint() {
    InstallFontSubstitutions();
    QTemporaryDir dir;
    AppState state = BenchState();
    // A plausible annual series: values spread log-normally around 1500 mm.
    state.study.series.recordCount = kMaxRecords;
    for (int i = 0; i < kMaxRecords; ++i) {
        state.study.series.years[i] = 1770 + i;
        state.study.series.values[i] =
            std::round(1500 * std::pow(10.0, 0.12 * std::sin(i * 2.399963)));
    }
    AnalyzeSeries(state);
    ApplyFirstLoadDefaults(state.settings, state.study.series);
    state.settings.scaleMinIndex = 2;
    state.settings.scaleMaxIndex = 4;
    state.settings.analysisMode = 2;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    const double median = MedianMicroseconds(
        30, [&] { PrintChartToPdf(state, QStringLiteral("0"), QStringLiteral("0"), path); });
    std::printf("print to PDF (257 records): median %.1f ms\n", median / 1000);
}

void BenchReport() {
    InstallFontSubstitutions();
    QTemporaryDir dir;
    AppState state = BenchState();
    state.dataFileName = QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/precip_100y.csv");
    LoadDataFile(state);
    const ScalePair scale = FittingScale(state.study.series);
    state.settings.scaleMinIndex = scale.minIndex;
    state.settings.scaleMaxIndex = scale.maxIndex;
    BootstrapStudy(state);
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    const double median = MedianMicroseconds(10, [&] { WriteReportPdf(state, path, {}); });
    std::printf("report to PDF (100 records, bootstrap B = %d): median %.1f ms\n",
                state.study.bootstrap ? state.study.bootstrap->settings.replicates : 0,
                median / 1000);
}
