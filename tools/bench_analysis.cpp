#include "chart/picturebox.h"
#include "chart/screenchart.h"
#include "comparison/frmcomparison.h"
#include "formats/deviatetable.h"
#include "platform/qtplatform.h"
#include "platform/widgets.h"
#include "results/frmresults.h"
#include "state/loading.h"
#include "state/seriesnotes.h"
#include "statistics/bootstrap.h"
#include "statistics/distributioncomparison.h"
#include "statistics/distributionfits.h"
#include "statistics/fitmeasures.h"
#include "statistics/intensity.h"
#include "tools/bench.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

// A data file of 257 records of a spread like annual rain in dir, named as the next load's file.
bool WriteBenchFile(const QTemporaryDir& dir, AppState& state) {
    QByteArray text;
    for (int i = 0; i < kMaxRecords; ++i)
        text += QByteArray::number(1770 + i) + "," + QByteArray::number(800 + (i * 7919) % 1700) +
                ".5\r\n";
    state.dataFileName = dir.filePath(QStringLiteral("bench.txt"));
    QFile file(state.dataFileName);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

AppState BenchState() {
    AppState state;
    state.startDirectory = QStringLiteral(QUORVEL_SOURCE_DIR "/data");
    LoadDeviateTable(state);
    return state;
}

void BenchAnalysis() {
    QTemporaryDir dir;
    AppState state = BenchState();
    if (!WriteBenchFile(dir, state))
        return;
    const double median = MedianMicroseconds(500, [&] { LoadDataFile(state); });
    std::printf("read and study (257 records, the page's line, the eleven models, every "
                "jackknife): median %.1f us\n",
                median);
}

namespace {

// records values of a spread like annual rain, studied.
AppState BenchSeriesOf(int records) {
    AppState state = BenchState();
    state.study.series.recordCount = records;
    for (int i = 0; i < records; ++i) {
        state.study.series.years[i] = 1770 + i;
        state.study.series.values[i] = 800 + (i * 7919) % 1700 + 0.5;
    }
    AnalyzeSeries(state);
    return state;
}

// 257 records of a spread like annual rain.
AppState BenchSeries() {
    return BenchSeriesOf(kMaxRecords);
}

} // namespace

// The sorted values of a state's series as the study prepares them.
struct BenchSample {
    std::vector<double> sorted;
    SampleArrays arrays;
    explicit BenchSample(const AppState& state)
        : sorted(SortedValues(state))
        , arrays(sorted, state.settings.alpha) {}
    static std::vector<double> SortedValues(const AppState& state) {
        std::vector<double> v(state.study.series.values.begin(),
                              state.study.series.values.begin() + state.study.series.recordCount);
        std::sort(v.begin(), v.end());
        return v;
    }
};

void BenchJackknife() {
    const AppState state = BenchSeries();
    const BenchSample sample(state);
    const double median = MedianMicroseconds(100, [&] {
        FitMeasures m = ComputeLineMeasures(state.study.series, state.study.analysis,
                                            state.deviateTable, state.settings.alpha);
        JackknifeLine(state.study.series, sample.arrays.of(sample.sorted), state.settings.alpha, m);
    });
    std::printf("fit measures with jackknife (257 records): median %.2f ms\n", median / 1000);
}

void BenchDistributions() {
    const AppState state = BenchSeries();
    const BenchSample sample(state);
    const double median = MedianMicroseconds(50, [&] {
        CompareDistributions(state.study.paper, sample.arrays.of(sample.sorted),
                             state.settings.alpha);
    });
    std::printf("all eleven models with the jackknife (257 records): median %.2f ms\n",
                median / 1000);
}

void BenchComparisonWindow() {
    AppState state = BenchSeries();
    QtPlatform platform;
    frmComparison window(state, platform.platform());
    window.show();
    // What follows a load: both tables filled from the study, the chart painted.
    const double fill = MedianMicroseconds(20, [&] {
        window.Refresh();
        window.grab();
    });
    // A resize only paints again.
    int width = 900;
    const double resize = MedianMicroseconds(20, [&] {
        window.resize(width, 800);
        width = width == 900 ? 1000 : 900;
        window.grab();
    });
    std::printf("comparison window after a load (257 records): median %.1f ms; "
                "redraw on resize: median %.1f ms\n",
                fill / 1000, resize / 1000);
}

void BenchLoadWithWindows() {
    InstallFontSubstitutions();
    AppState state = BenchSeries();
    QTemporaryDir dir;
    if (!WriteBenchFile(dir, state))
        return;
    ApplyFirstLoadDefaults(state.settings, state.study.series);
    state.settings.analysisMode = 2;
    state.settings.showErrorBand = true;
    state.compared.show = true;
    state.compared.models = {ModelId::Lp3, ModelId::Sqrtet, ModelId::Gev};
    state.compared.chosen = true;
    QtPlatform platform;
    frmResults results(state, platform.platform());
    frmComparison comparison(state, platform.platform());
    results.show();
    comparison.show();
    PictureBox picture;
    picture.setGeometry(TwipsRect(3600, 120, 5655, 7095));
    // What the main window does on a load: the study once, every window filled from it, the
    // chart with its band and curves drawn.
    const double micros = MedianMicroseconds(20, [&] {
        LoadDataFile(state);
        results.Refresh();
        comparison.Refresh();
        picture.Cls();
        DrawScreenChart(state, picture);
        picture.image();
        results.grab();
        comparison.grab();
    });
    std::printf("a load of 257 records with the results and comparison windows open, band and "
                "three curves on: median %.1f ms\n",
                micros / 1000);
}

namespace {

void BenchOneBootstrap(int records, int replicates, ResampleKind kind) {
    const AppState state = BenchSeriesOf(records);
    const BootstrapInput input = BootstrapInputOf(state.study);
    BootstrapSettings settings;
    settings.replicates = replicates;
    settings.kind = kind;
    const int runs = replicates >= 10000 ? 3 : 11;
    std::vector<double> cpu;
    const double wall = MedianMicroseconds(runs, [&] {
        const std::clock_t start = std::clock();
        ComputeBootstrap(input, settings);
        cpu.push_back(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
    });
    std::sort(cpu.begin(), cpu.end());
    std::printf("bootstrap of the eleven models, %s, B = %d, N = %d: median %.3f s wall, "
                "%.3f s CPU (%d threads)\n",
                kind == ResampleKind::Data ? "resampling the data" : "parametric", replicates,
                records, wall / 1e6, cpu[cpu.size() / 2],
                QThreadPool::globalInstance()->maxThreadCount());
}

} // namespace

void BenchBootstrap() {
    BenchOneBootstrap(100, 1000, ResampleKind::Data);
    BenchOneBootstrap(100, 1000, ResampleKind::Parametric);
    BenchOneBootstrap(257, 10000, ResampleKind::Data);
}

void BenchIntensity() {
    const AppState state = BenchState();
    const int minutes[] = {10, 20, 30, 40, 60, 80, 120, 180, 360, 720, 1440};
    std::vector<DurationColumn> columns;
    for (int t : minutes) {
        DurationColumn column{QStringLiteral("%1min").arg(t), t, {}};
        column.series.recordCount = 60;
        for (int i = 0; i < 60; ++i) {
            // A Talbot-like depth for the duration, spread like annual maxima.
            column.series.years[i] = 1960 + i;
            column.series.values[i] =
                5000.0 / (t + 30) * t / 60 * (0.6 + 0.9 * ((i * 7919 + t) % 60) / 60.0);
        }
        columns.push_back(column);
    }
    const std::vector<size_t> fitted = DefaultFitDurations(columns);
    const double micros = MedianMicroseconds(11, [&] {
        ComputeIntensityStudy(columns, fitted, RainfallSettings{}, state.deviateTable);
    });
    std::printf("rainfall intensity of eleven durations of 60 years (the eleven models with every "
                "jackknife, 7 years too, five formulas at twelve periods): median %.1f ms (%d "
                "threads)\n",
                micros / 1000, QThreadPool::globalInstance()->maxThreadCount());
}
