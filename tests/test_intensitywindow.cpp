// The window of the T-year rainfall by duration and the intensity formulas: filled from a
// loaded duration table, following a new table and alpha, refusing fewer than three durations,
// its chart on the recording surface and its CSV against the command line's.
#include "app/batchrun.h"
#include "app/commandline.h"
#include "chart/intensitychart.h"
#include "fakeplatform.h"
#include "intensity/frmintensity.h"
#include "recordingsurface.h"
#include "state/loading.h"
#include "states.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cmath>

namespace {

// A series of `years` values of a Gumbel-like spread around `scale`, in a shuffled order.
SeriesData SeriesOf(int years, double scale, int firstYear = 1960) {
    SeriesData series;
    series.recordCount = years;
    for (int i = 0; i < years; ++i) {
        const int rank = (i * 17) % years;
        const double F = (rank + 0.5) / years;
        series.years[i] = firstYear + i;
        series.values[i] = scale * (1 + 0.3 * -std::log(-std::log(F)));
    }
    return series;
}

QString LabelOf(int minutes) {
    return minutes % 60 == 0 ? QStringLiteral("%1h").arg(minutes / 60)
                             : QStringLiteral("%1min").arg(minutes);
}

// A table whose depths follow Talbot's I = 5000 / (t + 30) at every quantile, so every period's
// intensities lie on a Talbot curve; `years` of each duration, fewer where shortYears says.
LoadedDurations TalbotTable(const QList<int>& minutes, int years = 40,
                            const QList<int>& shortYears = {}) {
    LoadedDurations table;
    table.file = QStringLiteral("/tmp/talbot.csv");
    for (qsizetype i = 0; i < minutes.size(); ++i) {
        const int t = minutes[i];
        table.labels << LabelOf(t);
        table.names << LabelOf(t);
        table.axisTitles << QString();
        table.series << SeriesOf(shortYears.value(i, years), 5000.0 / (t + 30) * t / 60);
    }
    return table;
}

AppState LoadedState(const LoadedDurations& table) {
    AppState state = FirstLoadState();
    LoadFirstDuration(state, table);
    return state;
}

std::vector<size_t> Fitted(const AppState& state) {
    return state.intensity.study ? state.intensity.study->fitted : std::vector<size_t>{};
}

QCheckBox* FitBox(frmIntensity& window, int i) {
    return window.findChild<QCheckBox*>(QStringLiteral("FitDuration_%1").arg(i));
}

// The distance from p to the nearest of the segments of the colour.
double DistanceToLines(const RecordingSurface& surface, const QColor& colour, QPointF p) {
    double best = 1e300;
    for (const RecordingSurface::Op& op : surface.lines()) {
        if (op.color != colour || op.drawWidth != 2)
            continue;
        const QPointF a(op.x1, op.y1);
        const QPointF d = QPointF(op.x2, op.y2) - a;
        const double length = QPointF::dotProduct(d, d);
        const double s =
            length > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / length, 0.0, 1.0) : 0.0;
        const QPointF q = a + d * s;
        best = std::min(best, std::hypot(p.x() - q.x(), p.y() - q.y()));
    }
    return best;
}

} // namespace

class TestIntensityWindow : public QObject {
    Q_OBJECT
private slots:
    void fillsFromTheTable_data() {
        QTest::addColumn<QList<int>>("minutes");
        QTest::addColumn<QList<int>>("shortYears");
        QTest::addColumn<int>("fitted");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("formulaReason");
        QTest::newRow("hourly, a day and two") << QList<int>{60, 120, 180, 360, 720, 1440, 2880}
                                               << QList<int>{} << 6 << QString() << QString();
        QTest::newRow("ten minutes to two hours")
            << QList<int>{10, 20, 30, 60, 120} << QList<int>{} << 5 << QString() << QString();
        QTest::newRow("two durations") << QList<int>{60, 120} << QList<int>{} << 2
                                       << QStringLiteral("3 つ以上") << QStringLiteral("3 つ以上");
        QTest::newRow("a duration of two years")
            << QList<int>{10, 20, 30, 60} << QList<int>{40, 40, 2, 40} << 4 << QString()
            << QStringLiteral("30min の");
    }
    void fillsFromTheTable() {
        QFETCH(QList<int>, minutes);
        QFETCH(QList<int>, shortYears);
        QFETCH(int, fitted);
        QFETCH(QString, problem);
        QFETCH(QString, formulaReason);
        AppState state = LoadedState(TalbotTable(minutes, 40, shortYears));
        FakePlatform fake;
        frmIntensity window(state, fake.platform);
        auto* durations = window.findChild<QTableWidget*>(QStringLiteral("DurationsTable"));
        auto* formulas = window.findChild<QTableWidget*>(QStringLiteral("FormulasTable"));
        QCOMPARE(durations->rowCount(), minutes.size());
        QCOMPARE(formulas->rowCount(), int(kRainfallPeriodCount * kIntensityFormulaCount));
        QCOMPARE(int(Fitted(state).size()), fitted);
        for (int i = 0; i < minutes.size(); ++i) {
            QCOMPARE(durations->item(i, 0)->text(), LabelOf(minutes[i]));
            QCOMPARE(FitBox(window, i)->isChecked(), minutes[i] <= 1440);
        }
        if (problem.isEmpty())
            QVERIFY(state.intensity.problem.isEmpty());
        else
            QVERIFY2(state.intensity.problem.contains(problem),
                     qPrintable(state.intensity.problem));
        // Every period carries one best formula, or every formula says why it is missing.
        for (const PeriodFormulas& period : state.intensity.study->formulas) {
            const auto best = std::count_if(period.fits.begin(), period.fits.end(),
                                            [](const FormulaFit& f) { return f.best; });
            if (formulaReason.isEmpty()) {
                QCOMPARE(best, 1);
            } else {
                QCOMPARE(best, 0);
                for (const FormulaFit& fit : period.fits)
                    QVERIFY2(fit.problem.contains(formulaReason), qPrintable(fit.problem));
            }
        }
        const QString text = window.CopyText() + window.CsvText();
        for (const char* bad : {"nan", "inf"})
            QVERIFY2(!text.contains(QLatin1String(bad), Qt::CaseInsensitive), bad);
    }

    void computedOncePerTableOrAlpha() {
        AppState state = LoadedState(TalbotTable({10, 20, 30, 60, 120}));
        QCOMPARE(state.intensity.computed, 1);
        FakePlatform fake;
        frmIntensity window(state, fake.platform);
        window.resize(900, 600);
        window.Chart()->grab();
        QCOMPARE(state.intensity.computed, 1);
        // Another duration of the same table keeps the figures.
        LoadDuration(state, state.durations, 3);
        QCOMPARE(state.intensity.computed, 1);
        // The SLSC takes the plotting positions, whatever the model's estimator.
        const double before = *state.intensity.study->durations[0].slsc;
        // A new alpha studies every duration again, and the window shows it.
        state.settings.alpha = 0.4;
        AnalyzeSeries(state);
        window.Refresh();
        QCOMPARE(state.intensity.computed, 2);
        const double after = *state.intensity.study->durations[0].slsc;
        QVERIFY(std::fabs(after - before) > 1e-4);
        auto* durations = window.findChild<QTableWidget*>(QStringLiteral("DurationsTable"));
        QCOMPARE(durations->item(0, 2)->text(), QString::number(after, 'f', 4));
        // A new table: its own durations, its default choice.
        ChooseFitDurations(state, {0, 1, 2});
        LoadFirstDuration(state, TalbotTable({60, 120, 180, 360}));
        window.Refresh();
        QCOMPARE(state.intensity.computed, 3);
        QCOMPARE(Fitted(state), (std::vector<size_t>{0, 1, 2, 3}));
        QCOMPARE(durations->rowCount(), 4);
        QVERIFY(!FitBox(window, 4));
        // A plain series has no durations: nothing is left to show.
        LoadSeries(state, SeriesOf(30, 50));
        window.Refresh();
        QVERIFY(!state.intensity.study);
        QCOMPARE(durations->rowCount(), 0);
    }

    void fitDurationsChoice_data() {
        QTest::addColumn<QList<int>>("untick");
        QTest::addColumn<bool>("refused");
        QTest::newRow("one of five") << QList<int>{1} << false;
        QTest::newRow("two of five") << QList<int>{0, 4} << false;
        QTest::newRow("three of five") << QList<int>{0, 2, 4} << true;
    }
    void fitDurationsChoice() {
        QFETCH(QList<int>, untick);
        QFETCH(bool, refused);
        AppState state = LoadedState(TalbotTable({10, 20, 30, 60, 120}));
        FakePlatform fake;
        frmIntensity window(state, fake.platform);
        std::vector<size_t> expected = Fitted(state);
        for (int i : untick) {
            FitBox(window, i)->setChecked(false);
            if (Fitted(state).size() >= kMinFitDurations && !refused)
                expected.erase(std::find(expected.begin(), expected.end(), size_t(i)));
        }
        if (refused) {
            // The last untick is refused: the two before it stand.
            expected = {1, 3, 4};
            QCOMPARE(fake.messages.shown.size(), 1);
            QVERIFY2(fake.messages.shown[0].text.contains(QStringLiteral("前のまま")),
                     qPrintable(fake.messages.shown[0].text));
        } else {
            QVERIFY(fake.messages.shown.isEmpty());
        }
        QCOMPARE(Fitted(state), expected);
        for (size_t i = 0; i < 5; ++i)
            QCOMPARE(FitBox(window, int(i))->isChecked(),
                     std::find(expected.begin(), expected.end(), i) != expected.end());
        QCOMPARE(state.intensity.computed, 1);
    }

    // A new target moves each duration's selection without fitting anything again; a selection
    // by the bootstrap, which the durations do not run, leaves them to their jackknife.
    void followsTheTarget() {
        AppState state = LoadedState(TalbotTable({10, 20, 30, 60, 120}));
        for (const Target t : kTargets) {
            SelectStudyTarget(state, t);
            for (const DurationRainfall& d : state.intensity.study->durations) {
                QCOMPARE(d.study->models.target, t);
                QCOMPARE(d.model, d.study->models.selected);
            }
        }
        SelectStudyBy(state, SelectionRule::Bootstrap);
        for (const DurationRainfall& d : state.intensity.study->durations)
            QVERIFY(d.hasValues());
        QCOMPARE(state.intensity.computed, 1);
    }

    void fixedModelForEveryDuration() {
        AppState state = LoadedState(TalbotTable({10, 20, 30, 60, 120}));
        FakePlatform fake;
        frmIntensity window(state, fake.platform);
        auto* box = window.findChild<QComboBox*>(QStringLiteral("ModelBox"));
        box->setCurrentIndex(1 + int(ModelId::Gumbel));
        QCOMPARE(state.intensity.model, std::optional(ModelId::Gumbel));
        auto* durations = window.findChild<QTableWidget*>(QStringLiteral("DurationsTable"));
        for (const DurationRainfall& d : state.intensity.study->durations)
            QCOMPARE(d.model, std::optional(ModelId::Gumbel));
        QCOMPARE(durations->item(2, 1)->text(), ModelName(ModelId::Gumbel));
        box->setCurrentIndex(0);
        QVERIFY(!state.intensity.model);
        QCOMPARE(state.intensity.computed, 1);
    }

    void chartPointsAndCurves_data() {
        QTest::addColumn<int>("formula"); // -1: the best of each period
        QTest::addColumn<QList<int>>("minutes");
        QTest::addColumn<bool>("curves");
        const QList<int> six{10, 20, 30, 60, 120, 180};
        QTest::newRow("best") << -1 << six << true;
        QTest::newRow("talbot") << int(IntensityFormula::Talbot) << six << true;
        QTest::newRow("cleveland") << int(IntensityFormula::Cleveland) << six << true;
        QTest::newRow("two durations, no formula") << -1 << QList<int>{10, 20} << false;
    }
    void chartPointsAndCurves() {
        QFETCH(int, formula);
        QFETCH(QList<int>, minutes);
        QFETCH(bool, curves);
        AppState state = LoadedState(TalbotTable(minutes));
        const IntensityStudy& study = *state.intensity.study;
        RecordingSurface surface(7.5f, 15);
        const std::optional<IntensityFormula> chosen =
            formula < 0 ? std::nullopt : std::optional(IntensityFormula(formula));
        const QRectF frame(0, 0, 800, 600);
        DrawIntensityChart(study, chosen, surface, frame);
        // A point per duration and period, and one in the legend for each period.
        QCOMPARE(surface.circles().size(),
                 int(minutes.size() * kRainfallPeriodCount + kRainfallPeriodCount));
        QVERIFY(surface.printOf(QStringLiteral("T = 200 年")));
        if (!curves) {
            for (const RecordingSurface::Op& op : surface.lines())
                QCOMPARE(op.drawWidth, 1);
            QVERIFY(surface.printOf(QStringLiteral("曲線：なし（式が求められません）")));
            return;
        }
        // 10 to 180 minutes on an axis from 10 to 200, labelled at 1, 2 and 5 times the decades.
        for (const char* label : {"10", "20", "50", "100", "200"})
            QVERIFY2(surface.printOf(QString::fromLatin1(label)), label);
        const QRectF area = IntensityPlotArea(frame);
        for (size_t k = 0; k < kRainfallPeriodCount; ++k) {
            int onCurve = 0;
            for (const RecordingSurface::Op& op : surface.circles()) {
                if (op.color != PeriodColour(k) || !area.contains(QPointF(op.x1, op.y1)))
                    continue;
                // The intensities lie on a Talbot curve: every formula passes near them.
                QVERIFY2(DistanceToLines(surface, PeriodColour(k), QPointF(op.x1, op.y1)) < 4,
                         qPrintable(QStringLiteral("T = %1").arg(kRainfallPeriods[k])));
                ++onCurve;
            }
            // The legend's sample of the period lies on its own line.
            QCOMPARE(onCurve, int(minutes.size()) + 1);
        }
    }

    void axesAroundThePoints_data() {
        QTest::addColumn<QList<int>>("minutes");
        QTest::addColumn<double>("minMinutes");
        QTest::addColumn<double>("maxMinutes");
        QTest::newRow("an hour to a day") << QList<int>{60, 120, 360, 1440} << 60.0 << 2000.0;
        QTest::newRow("ten minutes to two hours")
            << QList<int>{10, 20, 30, 60, 120} << 10.0 << 200.0;
        QTest::newRow("within a factor of two") << QList<int>{60, 80, 100} << 40.0 << 200.0;
        QTest::newRow("two days") << QList<int>{70, 2880} << 70.0 << 3000.0;
    }
    void axesAroundThePoints() {
        QFETCH(QList<int>, minutes);
        QFETCH(double, minMinutes);
        QFETCH(double, maxMinutes);
        const AppState state = LoadedState(TalbotTable(minutes));
        const IntensityAxes axes = IntensityAxesOf(*state.intensity.study);
        QCOMPARE(axes.minMinutes, minMinutes);
        QCOMPARE(axes.maxMinutes, maxMinutes);
        // Every intensity inside the vertical axis, whose ends have one significant digit.
        for (const DurationRainfall& d : state.intensity.study->durations)
            for (const RainfallPeriod& p : d.periods)
                QVERIFY(*p.intensity >= axes.minIntensity && *p.intensity <= axes.maxIntensity);
        for (const double end : {axes.minIntensity, axes.maxIntensity}) {
            const double power = std::pow(10.0, std::floor(std::log10(end) + 1e-9));
            QCOMPARE(end / power, std::round(end / power));
        }
    }

    void csvHasTheCommandLinesRows() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("table.csv"));
        const LoadedDurations table = TalbotTable({10, 20, 30, 60, 120, 1440, 2880}, 35);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QTextStream out(&file);
            out << "year," << table.labels.join(QLatin1Char(',')) << '\n';
            for (int y = 0; y < 35; ++y) {
                out << table.series[0].years[size_t(y)];
                for (const SeriesData& s : table.series)
                    out << ',' << QString::number(s.values[size_t(y)], 'g', 17);
                out << '\n';
            }
        }
        FakeDirectory directory;
        directory.current = QStringLiteral(QUORVEL_BIN_DIR);
        directory.executable = QStringLiteral(QUORVEL_BIN_DIR);
        QString cliText;
        QString errText;
        QTextStream out(&cliText);
        QTextStream err(&errText);
        QCOMPARE(RunBatch(ParseCommandLine(
                              {QStringLiteral("quorvel"), QStringLiteral("--intensity"), path}),
                          directory, out, err),
                 0);
        out.flush();

        AppState state = FirstLoadState();
        state.dataFileName = path;
        LoadDataFile(state);
        FakePlatform fake;
        frmIntensity window(state, fake.platform);
        QStringList cliRows = cliText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        // The file the button writes, through the checked writer, with its byte-order mark.
        const QString saved = dir.filePath(QStringLiteral("figures.csv"));
        fake.files.saveAnswers << saved;
        window.CsvButton_Click();
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList csv = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(csv.join(QStringLiteral("\r\n")), window.CsvText());
        const qsizetype at = csv.indexOf(cliRows.first());
        QVERIFY(at > 0);
        QCOMPARE(csv.mid(at, cliRows.size()), cliRows);
        // The durations' rows: one per duration and period, under their own header.
        const qsizetype durations = csv.indexOf(
            QStringLiteral("duration,minutes,model,slsc,T,depth,intensity,error,upper,problem"));
        QVERIFY(durations > 0 && durations < at);
        QCOMPARE(at - durations - 2, table.labels.size() * qsizetype(kRainfallPeriodCount));

        // The chart as an image, at the height a report can use.
        const QString image = dir.filePath(QStringLiteral("chart.png"));
        fake.files.saveAnswers << image;
        window.SaveChartButton_Click();
        QImage picture(image);
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.height(), kChartImageHeight);
    }
};

QTEST_MAIN(TestIntensityWindow)
#include "test_intensitywindow.moc"
