// The comparison window: its value axis around the data, its paper filling any size, and the
// window itself following the series and closing on Esc.
#include "comparison/comparisonchart.h"
#include "comparison/frmcomparison.h"
#include "fakeplatform.h"
#include "recordingsurface.h"
#include "states.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
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

    void detailCopyAndCsv() {
        FakePlatform fake;
        AppState state = SampleState("precip_30y.csv");
        frmComparison window(state, fake.platform);
        const DistributionComparison& c = window.Comparison();
        QVERIFY(c.selected);
        const ModelComparison& chosen = c.model(*c.selected);
        // The highlighted row's periods, extrapolated beyond 60 years.
        auto* detail = window.findChild<QTableWidget*>(QStringLiteral("DetailTable"));
        QCOMPARE(detail->rowCount(), 11);
        for (int row = 0; row < 11; ++row)
            QCOMPARE(detail->item(row, 7)->text().isEmpty(), kReturnPeriods[row] <= 60);
        QCOMPARE(detail->item(8, 4)->text(), QString::number(chosen.periods[8].wet, 'f', 1));

        const QString header = QStringLiteral(
            "分布\tSLSC\tX-COR\t1/10 渇水年\t誤差\t1/100 渇水年\t誤差\t1/10 豊水年\t誤差\t"
            "1/100 豊水年\t誤差\t≦0.04\t選択\t備考");
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.findChild<QTableWidget*>(QStringLiteral("ModelTable")), Qt::Key_C,
                        Qt::ControlModifier);
        const QStringList lines = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.first(), header);
        const QStringList row = lines[static_cast<int>(*c.selected) + 1].split('\t');
        QCOMPARE(row[0], chosen.model.name());
        QCOMPARE(row[1], QString::number(*chosen.slsc, 'f', 4));
        QCOMPARE(row[12], QStringLiteral("◎"));

        QTemporaryDir dir;
        fake.files.saveAnswers << dir.filePath(QStringLiteral("models"));
        window.CsvButton_Click();
        QFile csv(dir.filePath(QStringLiteral("models.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF" + QString(header).replace('\t', ',').toUtf8()));
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
