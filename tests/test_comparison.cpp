// The comparison window: its value axis around the data, its paper filling any size, and the
// window itself following the series and closing on Esc.
#include "comparison/comparisonchart.h"
#include "comparison/frmcomparison.h"
#include "fakeplatform.h"
#include "recordingsurface.h"
#include "states.h"

#include <QLabel>
#include <QTest>

namespace {

// The cells of text at 8 points: 6 x 12 pixels, about what the screen gives.
RecordingSurface PixelSurface() {
    return RecordingSurface(7.5f, 15);
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
        QTest::newRow("one value on a power") << QList<double>{100, 100} << 2 << 3;
        QTest::newRow("below one") << QList<double>{0.5, 3} << -1 << 1;
        QTest::newRow("three decades") << QList<double>{95, 1500, 20000} << 1 << 5;
    }
    void decadesAroundTheData() {
        QFETCH(QList<double>, values);
        QFETCH(int, minExponent);
        QFETCH(int, maxExponent);
        const AppState state = AnalysedState(values);
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
