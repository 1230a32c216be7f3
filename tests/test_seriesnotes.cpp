#include "state/seriesnotes.h"

#include <QFile>
#include <QTest>

namespace {

AppState WithValues(const QList<double>& values) {
    AppState state;
    SeriesData& series = state.study.series;
    for (double v : values) {
        series.years[series.recordCount] = 1900 + series.recordCount;
        series.values[series.recordCount++] = v;
    }
    return state;
}

SeriesData WithYears(const QList<int>& years) {
    SeriesData series;
    for (int year : years) {
        series.years[series.recordCount] = year;
        series.values[series.recordCount++] = 100;
    }
    return series;
}

// The values of a sample file, in file order.
QList<double> SampleValues(const char* name) {
    QFile file(QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<double> values;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.contains(','))
            values << line.split(',').value(1).trimmed().toDouble();
    return values;
}

} // namespace

class TestSeriesNotes : public QObject {
    Q_OBJECT
private slots:
    void fittingScale_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("minIndex");
        QTest::addColumn<int>("maxIndex");
        QTest::newRow("30-year sample, 1292.6 to 2098.5")
            << SampleValues("precip_30y.csv") << 3 << 4;
        QTest::newRow("100-year sample, 964.6 to 1946")
            << SampleValues("precip_100y.csv") << 2 << 4;
        QTest::newRow("inside 10 to 1000") << QList<double>{200, 300, 800} << 1 << 3;
        QTest::newRow("on both ends of 10 to 1000") << QList<double>{10, 1000} << 1 << 3;
        QTest::newRow("5 to 50: two decades") << QList<double>{5, 50} << 0 << 2;
        QTest::newRow("tie of middles goes lower") << QList<double>{10000, 10000} << 3 << 4;
        // Every pair leaves 0.05 out: the narrowest that holds the other.
        QTest::newRow("one value below 0.1") << QList<double>{0.05, 5} << 0 << 1;
        // The highest minimum is 1000: the one-decade pair nearest the data.
        QTest::newRow("beyond 100000") << QList<double>{855931, 855933} << 3 << 4;
        QTest::newRow("0.1 to 100000") << QList<double>{0.1, 100000} << -1 << 5;
        QTest::newRow("no records") << QList<double>{} << 1 << 3;
    }
    void fittingScale() {
        QFETCH(QList<double>, values);
        QFETCH(int, minIndex);
        QFETCH(int, maxIndex);
        const AppState state = WithValues(values);
        const ScalePair fitted = FittingScale(state.study.series);
        QCOMPARE(fitted.minIndex, minIndex);
        QCOMPARE(fitted.maxIndex, maxIndex);
        // The first-load defaults take that pair.
        ChartSettings settings;
        ApplyFirstLoadDefaults(settings, state.study.series);
        QCOMPARE(settings.scaleMinIndex, minIndex);
        QCOMPARE(settings.scaleMaxIndex, maxIndex);
        QCOMPARE(settings.solidLineWidth, 3);
        QCOMPARE(settings.defaultsApplied, 1);
    }

    void pointsOutsideScale_data() {
        QTest::addColumn<int>("minIndex");
        QTest::addColumn<int>("maxIndex");
        QTest::addColumn<int>("outside");
        QTest::addColumn<QString>("text");
        QTest::newRow("10 to 1000")
            << 1 << 3 << 30 << "横軸 10～1000 の外にデータが 30 個あります。";
        QTest::newRow("100 to 10000") << 2 << 4 << 0 << "";
        QTest::newRow("1000 to 10000") << 3 << 4 << 0 << "";
        QTest::newRow("0.1 to 1000")
            << -1 << 3 << 30 << "横軸 0.1～1000 の外にデータが 30 個あります。";
        QTest::newRow("refused pair counts nothing") << 3 << 3 << 0 << "";
    }
    void pointsOutsideScale() {
        QFETCH(int, minIndex);
        QFETCH(int, maxIndex);
        QFETCH(int, outside);
        QFETCH(QString, text);
        AppState state = WithValues(SampleValues("precip_30y.csv"));
        state.settings.scaleMinIndex = minIndex;
        state.settings.scaleMaxIndex = maxIndex;
        QCOMPARE(PointsOutsideScale(state), outside);
        QCOMPARE(OutsideScaleText(state), text);
    }

    void yearGaps_data() {
        QTest::addColumn<QList<int>>("years");
        QTest::addColumn<QString>("text");
        QTest::newRow("consecutive") << QList<int>{1996, 1997, 1998} << "";
        QTest::newRow("out of order, none missing") << QList<int>{1998, 1996, 1997} << "";
        QTest::newRow("1996 twice, no 1997")
            << QList<int>{1996, 1996, 1998}
            << "同じ年が 2 回以上あります：1996。抜けている年があります：1997。";
        QTest::newRow("runs")
            << QList<int>{1950, 1960, 1961, 1961, 1962, 1962, 1970}
            << "同じ年が 2 "
               "回以上あります：1961～1962。抜けている年があります：1951～1959、1963～1969。";
        QTest::newRow("a typing slip far off")
            << QList<int>{1990, 19996} << "抜けている年があります：1991～19995。";
        QList<int> everyOther;
        for (int year = 1900; year <= 1930; year += 2)
            everyOther << year;
        QTest::newRow("long list ends with a count")
            << everyOther
            << "抜けている年があります：1901、1903、1905、1907、1909、1911、1913、1915、1917、"
               "1919 ほか 5 年。";
        QTest::newRow("no records") << QList<int>{} << "";
    }
    void yearGaps() {
        QFETCH(QList<int>, years);
        QFETCH(QString, text);
        const YearGaps gaps = FindYearGaps(WithYears(years));
        QCOMPARE(gaps.empty(), text.isEmpty());
        QCOMPARE(YearGapsText(gaps), text);
    }
};

QTEST_GUILESS_MAIN(TestSeriesNotes)
#include "test_seriesnotes.moc"
