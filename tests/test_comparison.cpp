// The comparison window: its value axis around the data, its paper filling any size, and the
// window itself following the series and closing on Esc.
#include "chart/screenchart.h"
#include "comparison/comparisonchart.h"
#include "comparison/frmcomparison.h"
#include "fakeplatform.h"
#include "print/printedchart.h"
#include "recordingsurface.h"
#include "state/bootstraprunner.h"
#include "states.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The cells of text at 8 points: 6 x 12 pixels, about what the screen gives.
RecordingSurface PixelSurface() {
    return RecordingSurface(7.5f, 15);
}

AppState SampleState(const char* name) {
    QFile file(QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no sample %s", name);
    QList<double> values;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (const auto fields = line.trimmed().split(','); fields.size() == 2)
            values << fields[1].toDouble();
    return AnalysedState(values);
}

QList<RecordingSurface::Op> ColouredLines(const RecordingSurface& surface, const QColor& colour) {
    QList<RecordingSurface::Op> out;
    for (const auto& op : surface.lines())
        if (op.color == colour)
            out << op;
    return out;
}

} // namespace

class TestComparison : public QObject {
    Q_OBJECT
private slots:
    void decadesAroundTheData_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("minExponent");
        QTest::addColumn<int>("maxExponent");
        QTest::newRow("inside one decade") << QList<double>{1200, 1730, 980.5} << 2 << 4;
        QTest::newRow("whole thousands") << QList<double>{1000, 5000} << 3 << 4;
        QTest::newRow("exact decades") << QList<double>{10, 100} << 1 << 2;
        QTest::newRow("the smallest value on a power") << QList<double>{100, 101} << 2 << 3;
        QTest::newRow("below one") << QList<double>{0.5, 3} << -1 << 1;
        QTest::newRow("three decades") << QList<double>{95, 1500, 20000} << 1 << 5;
    }
    void decadesAroundTheData() {
        QFETCH(QList<double>, values);
        QFETCH(int, minExponent);
        QFETCH(int, maxExponent);
        AppState state = AnalysedState(values);
        const DecadeRange range = DecadesAround(state);
        QCOMPARE(range.minExponent, minExponent);
        QCOMPARE(range.maxExponent, maxExponent);
    }

    void paperFillsItsArea_data() {
        QTest::addColumn<QSizeF>("size");
        QTest::newRow("small") << QSizeF(400, 300);
        QTest::newRow("large") << QSizeF(1400, 900);
        QTest::newRow("tall") << QSizeF(500, 1000);
    }
    void paperFillsItsArea() {
        QFETCH(QSizeF, size);
        const AppState state =
            AnalysedState({1200, 1350, 980, 1610, 1420, 1105, 1730, 1290, 1510, 1010});
        RecordingSurface surface = PixelSurface();
        DrawComparisonChart(state, surface, size);
        // Fifteen probability lines and the decade lines 100, 1000, 10000 with their minors.
        float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
        for (const auto& op : surface.lines()) {
            left = std::min({left, op.x1, op.x2});
            right = std::max({right, op.x1, op.x2});
            top = std::min({top, op.y1, op.y2});
            bottom = std::max({bottom, op.y1, op.y2});
        }
        QVERIFY(left >= 0 && right <= size.width() && top >= 0 && bottom <= size.height());
        // Grows with the window: the grid spans most of it either way.
        QVERIFY(right - left > size.width() * 0.8);
        QVERIFY(bottom - top > size.height() * 0.75);
        for (const char* label : {"99.9", "  50", " 0.1", "100", "1000", "10000"})
            QVERIFY2(surface.printOf(QString::fromLatin1(label)), label);
        QCOMPARE(surface.circles().size(), 10);
        for (const auto& op : surface.circles())
            QVERIFY(op.x1 > left && op.x1 < right && op.y1 > top && op.y1 < bottom);
    }

    void curvesFollowTheTicks() {
        AppState state = SampleState("precip_30y.csv");
        const DistributionComparison c = StudyModels(state);
        const QSizeF size(800, 600);
        RecordingSurface bare = PixelSurface();
        DrawComparisonChart(state, bare, size);
        for (const ModelId id : {ModelId::Gumbel, ModelId::Ln2Pm})
            QVERIFY(ColouredLines(bare, ModelColour(id)).isEmpty());
        RecordingSurface two = PixelSurface();
        DrawComparisonChart(state, two, size,
                            ColouredCurves({&c.model(ModelId::Gumbel), &c.model(ModelId::Ln2Pm)}));
        const QRectF frame(QPointF(48, 0), QPointF(size.width() - 16, size.height() - 44));
        for (const ModelId id : {ModelId::Gumbel, ModelId::Ln2Pm}) {
            const auto lines = ColouredLines(two, ModelColour(id));
            // The curve's many segments and the legend's one.
            QVERIFY(lines.size() > 20);
            for (const auto& op : lines)
                QVERIFY(frame.contains(QPointF(op.x1, op.y1)) &&
                        frame.contains(QPointF(op.x2, op.y2)));
            QVERIFY(two.printOf(ModelName(id)));
        }
    }

    // Every model's curve in a pen of its own, in Okabe and Ito's colours; the legend on a white
    // box drawn over the grid and under its labels, none without curves.
    void paletteAndLegendBackground() {
        AppState state = SampleState("precip_100y.csv");
        std::vector<const ModelComparison*> all;
        for (const ModelComparison& m : state.study.models.models)
            if (m.applicable())
                all.push_back(&m);
        QVERIFY(all.size() >= 9);
        const QList<QColor> okabeIto = {QColor(0xd55e00), QColor(0x0072b2), QColor(0x009e73),
                                        QColor(0xcc79a7), QColor(0xe69f00), QColor(0x56b4e9)};
        QSet<QString> pens;
        for (const ModelId id : kModels) {
            const CurvePen pen = ModelPen(id, 8, 4);
            QVERIFY2(okabeIto.contains(pen.colour), ModelKey(id));
            pens << pen.colour.name() + QString::number(pen.gap);
        }
        QCOMPARE(pens.size(), static_cast<int>(kModelCount));

        const QSizeF size(900, 600);
        RecordingSurface bare = PixelSurface();
        DrawComparisonChart(state, bare, size);
        QVERIFY(bare.boxes().isEmpty());
        RecordingSurface drawn = PixelSurface();
        DrawComparisonChart(state, drawn, size, ColouredCurves(all));
        QCOMPARE(drawn.boxes().size(), 1);
        const RecordingSurface::Op box = drawn.boxes().first();
        QCOMPARE(box.color, QColor(Qt::white));
        const QRectF area = QRectF(QPointF(box.x1, box.y1), QPointF(box.x2, box.y2)).normalized();
        auto indexOf = [&](RecordingSurface::Kind kind, const QString& text) {
            for (qsizetype i = 0; i < drawn.ops.size(); ++i)
                if (drawn.ops[i].kind == kind && drawn.ops[i].text == text)
                    return i;
            return qsizetype(-1);
        };
        const qsizetype at = indexOf(RecordingSurface::Kind::Box, QString());
        for (const ModelComparison* m : all) {
            const auto label = drawn.printOf(m->model.name());
            QVERIFY(label);
            QVERIFY(indexOf(RecordingSurface::Kind::Print, m->model.name()) > at);
            QVERIFY(area.contains(QRectF(label->x1, label->y1, drawn.TextWidth(label->text),
                                         drawn.TextHeight(label->text))));
        }
        // The grid lies under it.
        for (qsizetype i = at + 1; i < drawn.ops.size(); ++i)
            QVERIFY(drawn.ops[i].kind != RecordingSurface::Kind::Line ||
                    okabeIto.contains(*drawn.ops[i].color));
    }

    // Saved and copied, the chart has its own shape, whatever the window's.
    void pictureKeepsItsShape() {
        AppState state = SampleState("precip_30y.csv");
        ComparisonChartView view(state);
        for (const QSize window : {QSize(1200, 300), QSize(400, 900)}) {
            view.resize(window);
            const ChartPicture picture = view.Picture();
            QCOMPARE(picture.screenSize, kComparisonPictureSize);
            const QImage image = RenderChartImage(picture, kChartImageHeight);
            QCOMPARE(image.size(), QSize(1600, 1200));
        }
    }

    // A negative value of the positive quantity is marked in both tables, with what the mark
    // means under them and at the end of the CSV.
    void negativeValuesMarked() {
        FakePlatform fake;
        AppState state = AnalysedState(
            {12, 30, 25, 610, 45, 700, 18, 33, 820, 40, 22, 15, 950, 28, 35, 500, 20, 60, 26, 31});
        const ModelComparison& gumbel = state.study.models.model(ModelId::Gumbel);
        QVERIFY(gumbel.period(100)->dry < 0);
        frmComparison window(state, fake.platform);
        auto* table = window.findChild<QTableWidget*>(QStringLiteral("ModelTable"));
        auto* note = window.findChild<QLabel*>(QStringLiteral("MarksNote"));
        // 1/100 dry is the third figure column.
        const int row = static_cast<int>(ModelId::Gumbel);
        QCOMPARE(table->item(row, 6)->text(),
                 QString::number(gumbel.period(100)->dry, 'f', 1) + QStringLiteral(" ※"));
        for (int r = 0; r < table->rowCount(); ++r)
            for (int c = 4; c < table->columnCount() - 3; c += 2)
                QCOMPARE(table->item(r, c)->text().endsWith(QStringLiteral("※")),
                         table->item(r, c)->text().startsWith(QLatin1Char('-')));
        QVERIFY(!note->isHidden());
        QVERIFY(note->text().startsWith(QStringLiteral("※ 負の値")));
        QVERIFY(window.CsvText().contains(QStringLiteral("\r\n※ 負の値")));
        QVERIFY(window.CopyText().endsWith(note->text().section('\n', 0, 0) + "\r\n"));

        // A positive series has none.
        AppState plain = SampleState("precip_30y.csv");
        frmComparison clean(plain, fake.platform);
        QVERIFY(clean.findChild<QLabel*>(QStringLiteral("MarksNote"))->isHidden());
        QVERIFY(!clean.CsvText().contains(QStringLiteral("※")));
    }

    // A jackknife estimate the model gives no probability (SQRT-ET's 1/10 dry estimate of this
    // series lies below 0) is marked in the detail, with the note under it and in the CSV.
    void estimatesOutsideTheSupportMarked() {
        FakePlatform fake;
        AppState state = AnalysedState(
            {12, 30, 25, 610, 45, 700, 18, 33, 820, 40, 22, 15, 950, 28, 35, 500, 20, 60, 26, 31});
        const ModelComparison& sqrtet = state.study.models.model(ModelId::Sqrtet);
        QVERIFY(sqrtet.period(10)->dryJackknife < 0);
        frmComparison window(state, fake.platform);
        auto* models = window.findChild<QTableWidget*>(QStringLiteral("ModelTable"));
        auto* detail = window.findChild<QTableWidget*>(QStringLiteral("DetailTable"));
        auto* note = window.findChild<QLabel*>(QStringLiteral("MarksNote"));
        models->setCurrentCell(static_cast<int>(ModelId::Sqrtet), 1);
        int row = 0;
        while (detail->item(row, 0)->text() != QStringLiteral("10"))
            ++row;
        // Period, dry value, dry jackknife estimate: the estimate is negative and outside.
        QVERIFY(detail->item(row, 2)->text().endsWith(QStringLiteral("※ †")));
        QVERIFY(!detail->item(row, 1)->text().contains(QStringLiteral("†")));
        QVERIFY(note->text().contains(QStringLiteral("† 分布の範囲外")));
        QVERIFY(window.CsvText().contains(QStringLiteral("\r\n† 分布の範囲外")));

        // Thirty annual totals give none.
        AppState plain = SampleState("precip_30y.csv");
        frmComparison clean(plain, fake.platform);
        QVERIFY(!clean.CsvText().contains(QStringLiteral("†")));
    }

    void tableMarksAndTarget_data() {
        QTest::addColumn<QString>("sample");
        QTest::newRow("30 years") << "precip_30y.csv";
        QTest::newRow("100 years") << "precip_100y.csv";
    }
    void tableMarksAndTarget() {
        QFETCH(QString, sample);
        FakePlatform fake;
        AppState state = SampleState(qPrintable(sample));
        frmComparison window(state, fake.platform);
        auto* table = window.findChild<QTableWidget*>(QStringLiteral("ModelTable"));
        auto* target = window.findChild<QComboBox*>(QStringLiteral("TargetBox"));
        QCOMPARE(target->currentText(), QStringLiteral("1/100 豊水年"));
        QCOMPARE(table->rowCount(), static_cast<int>(kModelCount));
        const int columns = table->columnCount();
        for (int t = 0; t < static_cast<int>(kTargets.size()); ++t) {
            target->setCurrentIndex(t);
            const DistributionComparison expected = StudyModels(state, kTargets[t]);
            QCOMPARE(window.Comparison().selected, expected.selected);
            for (size_t i = 0; i < kModelCount; ++i) {
                const ModelComparison& m = expected.models[i];
                const int row = static_cast<int>(i);
                QCOMPARE(table->item(row, 1)->text(), ModelName(kModels[i]));
                QCOMPARE(table->item(row, columns - 3)->text().isEmpty(), !m.passes);
                QCOMPARE(table->item(row, columns - 2)->text().isEmpty(), !m.selected);
                QCOMPARE(table->item(row, 0)->checkState() == Qt::Checked, m.selected);
                if (!m.applicable())
                    QCOMPARE(table->item(row, columns - 1)->text(), m.model.problem());
            }
            const std::vector<ModelId> ticked = window.TickedModels();
            QCOMPARE(ticked.size(), size_t(expected.selected ? 1 : 0));
        }
        // A tick adds a curve, untick removes it.
        auto gumbelTicked = [&] {
            const std::vector<ModelId> ticked = window.TickedModels();
            return std::count(ticked.begin(), ticked.end(), ModelId::Gumbel) == 1;
        };
        table->item(static_cast<int>(ModelId::Gumbel), 0)->setCheckState(Qt::Checked);
        QVERIFY(gumbelTicked());
        table->item(static_cast<int>(ModelId::Gumbel), 0)->setCheckState(Qt::Unchecked);
        QVERIFY(!gumbelTicked());
    }

    void nothingPassesIsSaid() {
        // Two clusters far apart: no distribution follows both.
        QList<double> values;
        for (int i = 0; i < 20; ++i)
            values << (i < 10 ? 10.0 + i * 0.01 : 5000.0 + i);
        FakePlatform fake;
        AppState state = AnalysedState(values);
        frmComparison window(state, fake.platform);
        QVERIFY(!window.Comparison().selected);
        auto* table = window.findChild<QTableWidget*>(QStringLiteral("ModelTable"));
        for (int row = 0; row < table->rowCount(); ++row) {
            QVERIFY(table->item(row, table->columnCount() - 3)->text().isEmpty());
            QVERIFY(table->item(row, table->columnCount() - 2)->text().isEmpty());
        }
        QVERIFY(window.TickedModels().empty());
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("NoneSelected"))->text(),
                 QStringLiteral("SLSC が 0.04 以下の分布がないため、どの分布も選んでいません。"));
    }

    // With a runner the window starts the bootstrap itself, and its figures reach the tables
    // when the run ends; a change of B starts the next run.
    void bootstrapFiguresArrive() {
        FakePlatform fake;
        AppState state = SampleState("precip_30y.csv");
        state.settings.bootstrap.replicates = 200;
        BootstrapRunner runner(state);
        frmComparison window(state, fake.platform, nullptr, &runner);
        QVERIFY(runner.Running() || state.study.bootstrap);
        runner.WaitForFinished();
        QVERIFY(state.study.bootstrap);
        const ModelId chosen = *state.study.models.selected;
        auto* table = window.findChild<QTableWidget*>(QStringLiteral("ModelTable"));
        QCOMPARE(table->item(static_cast<int>(chosen), 12)->text(),
                 QString::number(*state.study.bootstrap->model(chosen).targetError(Target::Wet100),
                                 'f', 1));
        auto* detail = window.findChild<QTableWidget*>(QStringLiteral("DetailTable"));
        const BootstrapFigures& wet100 = state.study.bootstrap->model(chosen).periods[8].wet;
        QCOMPARE(detail->item(8, 11)->text(), QString::number(wet100.percentile->low, 'f', 1));
        QCOMPARE(detail->item(8, 12)->text(), QString::number(wet100.percentile->high, 'f', 1));

        auto* replicates = window.findChild<QSpinBox*>(QStringLiteral("ReplicatesBox"));
        replicates->setValue(300);
        QCOMPARE(state.settings.bootstrap.replicates, 300);
        QVERIFY(!state.study.bootstrap);
        QVERIFY(detail->item(8, 11)->text().isEmpty());
        runner.WaitForFinished();
        QCOMPARE(state.study.bootstrap->settings.replicates, 300);
    }

    // 中止 leaves no figures; 計算 runs again; a seed that is no number is refused and put back.
    void bootstrapCancelAndSeed() {
        FakePlatform fake;
        AppState state = SampleState("precip_30y.csv");
        state.settings.bootstrap.replicates = 100000;
        BootstrapRunner runner(state);
        frmComparison window(state, fake.platform, nullptr, &runner);
        auto* button = window.findChild<QPushButton*>(QStringLiteral("BootstrapButton"));
        QVERIFY(runner.Running());
        QCOMPARE(button->text(), QStringLiteral("中止"));
        button->click();
        runner.WaitForFinished();
        QVERIFY(!state.study.bootstrap);
        QVERIFY(runner.WasCancelled());
        QCOMPARE(button->text(), QStringLiteral("計算"));
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("BootstrapNote"))
                    ->text()
                    .contains(QStringLiteral("中止しました")));

        auto* seed = window.findChild<QLineEdit*>(QStringLiteral("SeedBox"));
        seed->setText(QStringLiteral("-3"));
        window.ApplyBootstrapSettings();
        QCOMPARE(fake.messages.shown.size(), 1);
        QVERIFY(fake.messages.shown[0].text.contains(QStringLiteral("乱数の種「-3」")));
        QCOMPARE(seed->text(), QStringLiteral("1"));
        QCOMPARE(state.settings.bootstrap.seed, uint64_t(1));

        state.settings.bootstrap.replicates = 100;
        button->click();
        runner.WaitForFinished();
        QVERIFY(state.study.bootstrap);
    }

    // A run for a study that has been replaced is thrown away and the new study's run follows.
    void newStudyReplacesTheRun() {
        AppState state = SampleState("precip_30y.csv");
        state.settings.bootstrap.replicates = 20000;
        BootstrapRunner runner(state);
        runner.Ensure();
        QVERIFY(runner.Running());
        state.study.series.recordCount = 20;
        AnalyzeSeries(state);
        state.settings.bootstrap.replicates = 100;
        runner.Ensure();
        runner.WaitForFinished();
        QVERIFY(state.study.bootstrap);
        QCOMPARE(state.study.bootstrap->settings.replicates, 100);
        QCOMPARE(state.study.bootstrap->models[1].fitted, 100);
    }

    // The interval shows on screen and paper only when asked for, as two dashed curves in the
    // model's colour, with the page's legend line; off, nothing is drawn of it.
    void intervalOnTheCharts() {
        AppState state = SampleState("precip_30y.csv");
        state.settings.bootstrap.replicates = 200;
        BootstrapStudy(state);
        const ModelId chosen = *state.study.models.selected;
        RecordingSurface off;
        DrawScreenInterval(state, off);
        DrawPrintedInterval(state, off);
        QVERIFY(off.ops.isEmpty());

        state.settings.showInterval = true;
        RecordingSurface screen;
        DrawScreenInterval(state, screen);
        QVERIFY(ColouredLines(screen, ModelColour(chosen)).size() > 20);
        RecordingSurface paper;
        DrawPrintedInterval(state, paper);
        QCOMPARE(paper.prints().size(), 2);
        const QString legend = paper.prints()[0].text + paper.prints()[1].text;
        for (const QString& part : {ModelName(chosen), QStringLiteral("90 %"),
                                    QStringLiteral("B = 200"), QStringLiteral("乱数の種 1")})
            QVERIFY2(legend.contains(part), qPrintable(legend));

        // While the comparison highlights another model, its interval is drawn.
        state.compared.highlighted = ModelId::Gumbel;
        QCOMPARE(ShownIntervalOf(state)->model, ModelId::Gumbel);
    }

    // The comparison's chart names the highlighted model's interval once in its legend, beside
    // the curves' names; without figures there is no such row.
    void intervalNamedInTheComparisonLegend() {
        FakePlatform fake;
        AppState state = SampleState("precip_30y.csv");
        state.settings.bootstrap.replicates = 200;
        auto legendOf = [](const frmComparison& window) {
            RecordingSurface surface;
            window.findChild<ComparisonChartView*>()->Picture().draw(surface);
            QStringList texts;
            for (const auto& op : surface.prints())
                texts << op.text;
            return texts;
        };
        const frmComparison before(state, fake.platform);
        QVERIFY(!legendOf(before).join(QString()).contains(QStringLiteral("信頼区間")));

        BootstrapStudy(state);
        const frmComparison window(state, fake.platform);
        const QString named = IntervalLegendText(state, *state.compared.highlighted);
        QVERIFY(named.contains(ModelName(*state.compared.highlighted)));
        QCOMPARE(legendOf(window).count(named), 1);
    }

    void detailCopyAndCsv() {
        FakePlatform fake;
        AppState state = SampleState("precip_30y.csv");
        state.dataFileName = QStringLiteral("/data/rain, 30 years.csv");
        frmComparison window(state, fake.platform);
        const DistributionComparison& c = window.Comparison();
        QVERIFY(c.selected);
        const ModelComparison& chosen = c.model(*c.selected);
        // The highlighted row's periods, extrapolated beyond 60 years.
        auto* detail = window.findChild<QTableWidget*>(QStringLiteral("DetailTable"));
        QCOMPARE(detail->rowCount(), 11);
        for (int row = 0; row < 11; ++row)
            QCOMPARE(detail->item(row, 13)->text().isEmpty(), kReturnPeriods[row] <= 60);
        QCOMPARE(detail->item(8, 7)->text(), QString::number(chosen.periods[8].wet, 'f', 1));

        const QString header = QStringLiteral(
            "分布\tSLSC\tX-COR\t1/10 渇水年\t誤差\t1/100 渇水年\t誤差\t1/10 豊水年\t誤差\t"
            "1/100 豊水年\t誤差\tBS 誤差\t≦0.04\t選択\t備考");
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.findChild<QTableWidget*>(QStringLiteral("ModelTable")), Qt::Key_C,
                        Qt::ControlModifier);
        // What the figures are of, then an empty line, then the table.
        const QStringList context = {QStringLiteral("ファイル\t/data/rain, 30 years.csv"),
                                     QStringLiteral("記録数\t30"),
                                     QStringLiteral("最初の年\t1990"),
                                     QStringLiteral("最後の年\t2019"),
                                     QStringLiteral("α\t0.5\tHazen (α = 0.5)"),
                                     QStringLiteral("選ぶ基準\t1/100 豊水年"),
                                     QString()};
        QStringList lines = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(0, context.size()), context);
        lines = lines.mid(context.size());
        QCOMPARE(lines.first(), header);
        const QStringList row = lines[static_cast<int>(*c.selected) + 1].split('\t');
        QCOMPARE(row[0], chosen.model.name());
        QCOMPARE(row[1], QString::number(*chosen.slsc, 'f', 4));
        QCOMPARE(row[13], QStringLiteral("◎"));

        QTemporaryDir dir;
        fake.files.saveAnswers << dir.filePath(QStringLiteral("models"));
        window.CsvButton_Click();
        QFile csv(dir.filePath(QStringLiteral("models.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        // The file's name holds the separator: it is quoted.
        QStringList csvContext = context;
        csvContext.replaceInStrings(QStringLiteral("\t"), QStringLiteral(","));
        csvContext[0] = QStringLiteral("ファイル,\"/data/rain, 30 years.csv\"");
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF" +
                                 (csvContext.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n") +
                                  QString(header).replace('\t', ','))
                                     .toUtf8()));
        QVERIFY(bytes.contains(("\r\n" + chosen.model.name() + "\r\n再現期間 T,").toUtf8()));
    }

    void windowFollowsAndCloses() {
        FakePlatform fake;
        AppState state = AnalysedState({1200, 1350, 980});
        frmComparison window(state, fake.platform);
        window.show();
        auto* summary = window.findChild<QLabel*>(QStringLiteral("Summary"));
        QVERIFY(summary->text().contains(QStringLiteral("3 年の記録")));
        state = AnalysedState({1200, 1350, 980, 1610, 1420}, 0.4, 1950);
        window.Refresh();
        QCOMPARE(summary->text(), QStringLiteral("5 年の記録（1950 年～1954 年）"));
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestComparison)
#include "test_comparison.moc"
