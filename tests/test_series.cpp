#include "formats/deviatetable.h"
#include "nearequal.h"
#include "state/loading.h"
#include "states.h"
#include "statistics/dataerror.h"
#include "testhelpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

AppState StateWithTable() {
    AppState state;
    state.deviateTable = RealDeviateTable();
    return state;
}

void SetValues(AppState& state, std::initializer_list<double> values) {
    state.study.series.recordCount = 0;
    for (double v : values) {
        state.study.series.years[state.study.series.recordCount] =
            2000 + state.study.series.recordCount;
        state.study.series.values[state.study.series.recordCount++] = v;
    }
}

QList<int> FirstRanks(const AppState& state) {
    return QList<int>(state.study.analysis.ranks.begin(),
                      state.study.analysis.ranks.begin() + state.study.series.recordCount);
}

} // namespace

class TestSeries : public QObject {
    Q_OBJECT
private slots:
    void analysesThreeValues() {
        AppState state = StateWithTable();
        SetValues(state, {100, 1000, 10});
        const ResultTexts texts = AnalyzeSeries(state);
        QCOMPARE(FirstRanks(state), (QList<int>{2, 3, 1}));
        QCOMPARE(state.study.analysis.probabilities[0], 0.5);
        QCOMPARE(state.study.analysis.probabilities[1], 2.5 / 3);
        QCOMPARE(state.study.analysis.probabilities[2], 0.5 / 3);
        QCOMPARE(state.study.analysis.deviates[0], 0.0);
        QCOMPARE(state.study.analysis.deviates[1], state.deviateTable[333]);
        QCOMPARE(state.study.analysis.deviates[2], -state.deviateTable[333]);
        QUORVEL_COMPARE_NEAR(state.study.analysis.logMean, 2.0, 1e-15);
        QCOMPARE(texts.arithMean, QStringLiteral("370"));
        QCOMPARE(texts.geoMean, QStringLiteral("100"));
        QCOMPARE(texts.maximum, QStringLiteral("1000"));
        QCOMPARE(texts.minimum, QStringLiteral("10"));
        // slope = Sxz / Szz with the two outer points symmetric about the centre.
        const double z = state.deviateTable[333];
        QUORVEL_COMPARE_NEAR(state.study.analysis.slope, (1.0 * z + -1.0 * -z) / (2 * z * z),
                             1e-15);
        QCOMPARE(state.study.analysis.logOffset10,
                 (state.deviateTable[400] * (2 * z)) / (2 * z * z));
    }

    void ranksTiesInFileOrder() {
        AppState state = StateWithTable();
        state.settings.alpha = 0;
        SetValues(state, {50, 50, 50, 100, 50, 50, 50});
        AnalyzeSeries(state);
        QCOMPARE(FirstRanks(state), (QList<int>{1, 2, 3, 7, 4, 5, 6}));
        QCOMPARE(state.study.analysis.probabilities[0], 0.125);
        QCOMPARE(state.study.analysis.probabilities[4], 0.5);
        QCOMPARE(state.study.analysis.probabilities[3], 0.875);
        QCOMPARE(state.study.analysis.deviates[4], 0.0);
        QCOMPARE(state.study.analysis.deviates[0], -state.deviateTable[375]);
        QCOMPARE(state.study.analysis.deviates[6], state.deviateTable[250]);
    }

    void fitsTwoRecords() {
        AppState state = StateWithTable();
        SetValues(state, {10, 1000});
        AnalyzeSeries(state);
        const double z = state.study.analysis.deviates[1];
        QCOMPARE(state.study.analysis.deviates[0], -z);
        QUORVEL_COMPARE_NEAR(state.study.analysis.slope, (3.0 - 1.0) / 2 / z, 1e-15);
        QCOMPARE(state.study.analysis.logMax, 3.0);
        QCOMPARE(state.study.analysis.logMin, 1.0);
    }

    // Every plotting position of every permitted alpha stays inside the table.
    void keepsIndicesInsideTableAtTheAlphaBound_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("2") << 2;
        QTest::newRow("30") << 30;
        QTest::newRow("257") << 257;
    }
    void keepsIndicesInsideTableAtTheAlphaBound() {
        QFETCH(int, count);
        AppState state = StateWithTable();
        state.study.series.recordCount = count;
        for (int i = 0; i < count; ++i)
            state.study.series.values[i] = 100 + i;
        state.settings.alpha = (499.0 - count) / 498.0;
        AnalyzeSeries(state);
        QVERIFY(std::isfinite(state.study.analysis.slope));
        QVERIFY(state.study.analysis.deviates[0] < 0);
    }

    void refusesSeriesItCannotAnalyse_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("no records") << QList<double>{} << "2 件以上";
        QTest::newRow("one record") << QList<double>{100} << "2 件以上";
        QTest::newRow("zero value") << QList<double>{100, 0, 5} << "2 件目";
        QTest::newRow("negative value") << QList<double>{-1, 5} << "1 件目";
    }
    void refusesSeriesItCannotAnalyse() {
        QFETCH(QList<double>, values);
        QFETCH(QString, messagePart);
        AppState state = StateWithTable();
        SetValues(state, {1, 2, 3});
        AnalyzeSeries(state);
        const AppState before = state;
        state.study.series.recordCount = values.size();
        std::copy(values.begin(), values.end(), state.study.series.values.begin());
        try {
            AnalyzeSeries(state);
            QFAIL("the series was analysed");
        } catch (const DataError& error) {
            QVERIFY2(error.message().contains(messagePart), qPrintable(error.message()));
        }
        QCOMPARE(state.study.analysis.logValues, before.study.analysis.logValues);
        QCOMPARE(state.study.analysis.logMean, before.study.analysis.logMean);
        QCOMPARE(state.study.analysis.slope, before.study.analysis.slope);
    }

    void loadIsAllOrNothing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("zero value") << QByteArray("1990,5\r\n1991,0\r\n");
        QTest::newRow("one record") << QByteArray("1990,5\r\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("bad line") << QByteArray("1990,5\r\n\r\n");
    }
    void loadIsAllOrNothing() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString good = WriteFile(dir, "good.txt", "2001,100\r\n2002,1000\r\n2003,10\r\n");
        const QString bad = WriteFile(dir, "bad.txt", content);

        AppState state = StateWithTable();
        state.dataFileName = good;
        const ResultTexts texts = LoadDataFile(state);
        QCOMPARE(texts.arithMean, QStringLiteral("370"));
        const AppState before = state;

        state.dataFileName = bad;
        QVERIFY_THROWS_EXCEPTION(DataError, LoadDataFile(state));
        QCOMPARE(state.study.series.recordCount, 3);
        QCOMPARE(state.study.series.years, before.study.series.years);
        QCOMPARE(state.study.series.values, before.study.series.values);
        QCOMPARE(state.study.analysis.deviates, before.study.analysis.deviates);
        QCOMPARE(state.study.analysis.logMean, before.study.analysis.logMean);
    }
};

QTEST_APPLESS_MAIN(TestSeries)
#include "test_series.moc"
