#include "statistics/datachecks.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace {

// The data checks by the plainest route, from their formulas with nothing shared with the
// program: every pair counted, the ties from a tally, Pettitt's sums over both halves in full
// for every split, the p-value from erfc.
// On values in year order with their years.
DataChecks BruteForce(const std::vector<int32_t>& years, const std::vector<double>& x) {
    DataChecks checks;
    MannKendall& c = checks.mannKendall;
    Pettitt& pt = checks.pettitt;
    const int n = static_cast<int>(x.size());
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < j; ++i)
            c.s += x[j] > x[i] ? 1 : (x[j] < x[i] ? -1 : 0);
    std::map<double, int64_t> tally;
    for (double v : x)
        ++tally[v];
    double v = static_cast<double>(n) * (n - 1) * (2.0 * n + 5);
    for (const auto& [value, t] : tally)
        v -= static_cast<double>(t) * (t - 1) * (2.0 * t + 5);
    c.variance = v / 18;
    if (c.s > 0)
        c.z = (c.s - 1) / std::sqrt(c.variance);
    else if (c.s < 0)
        c.z = (c.s + 1) / std::sqrt(c.variance);
    c.p = std::erfc(std::fabs(c.z) / std::sqrt(2.0));

    std::vector<double> slopes;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (years[i] != years[j])
                slopes.push_back((x[j] - x[i]) / (years[j] - years[i]));
    if (!slopes.empty()) {
        const size_t m = slopes.size();
        std::nth_element(slopes.begin(), slopes.begin() + m / 2, slopes.end());
        const double upper = slopes[m / 2];
        checks.senSlope =
            m % 2 == 1 ? upper
                       : (*std::max_element(slopes.begin(), slopes.begin() + m / 2) + upper) / 2;
    }

    for (int t = 1; t < n; ++t) {
        int64_t u = 0;
        for (int i = 0; i < t; ++i)
            for (int j = t; j < n; ++j)
                u += x[i] > x[j] ? 1 : (x[i] < x[j] ? -1 : 0);
        if (std::llabs(u) > pt.k || t == 1) {
            pt.k = std::llabs(u);
            pt.year = years[t - 1];
        }
    }
    const double nn = n;
    pt.p = std::min(1.0, 2 * std::exp(-6.0 * pt.k * pt.k / (nn * nn * nn + nn * nn)));
    return checks;
}

using Years = std::vector<int32_t>;
using Values = std::vector<double>;

SeriesData MakeSeries(const Years& years, const Values& values) {
    SeriesData series;
    series.recordCount = static_cast<int32_t>(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        series.years[i] = years[i];
        series.values[i] = values[i];
    }
    return series;
}

// A rough series of n records with runs of equal values and some years twice, the same every
// run: a linear congruential generator, rounded to tens.
void Scrambled(int n, uint32_t seed, Years& years, Values& values) {
    uint32_t state = seed;
    auto next = [&] { return state = state * 1664525u + 1013904223u; };
    int year = 1900;
    for (int i = 0; i < n; ++i) {
        year += next() % 4 == 0 ? 0 : 1;
        years.push_back(year);
        values.push_back(1000 + 10.0 * static_cast<double>(next() % 40) + (i > n / 2 ? 150 : 0));
    }
}

} // namespace

class TestDataChecks : public QObject {
    Q_OBJECT
private slots:
    // Figures worked out by hand (and written down) for series in year order.
    void handFigures_data() {
        QTest::addColumn<Years>("years");
        QTest::addColumn<Values>("values");
        QTest::addColumn<qint64>("s");
        QTest::addColumn<double>("variance");
        QTest::addColumn<double>("z");
        QTest::addColumn<double>("p");
        QTest::addColumn<double>("sen");
        QTest::addColumn<qint64>("k");
        QTest::addColumn<int>("year");
        QTest::addColumn<double>("pettittP");
        // Every pair rises: S = 45, Var = 10·9·25/18, the split in the middle.
        QTest::newRow("rising") << Years{2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010}
                                << Values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << qint64(45) << 125.0
                                << 44 / std::sqrt(125.0) << 8.303070332644999e-05 << 1.0
                                << qint64(25) << 2005 << 0.06614250297660204;
        // A pair of 4s takes 2·1·9/18 from Var; 2001 twice leaves that pair out of Sen's slope.
        QTest::newRow("ties and a repeated year")
            << Years{2001, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009}
            << Values{3, 1, 4, 4, 2, 5, 7, 6, 9, 8} << qint64(32) << 124.0 << 31 / std::sqrt(124.0)
            << 0.005371254121580117 << 0.8166666666666667 << qint64(25) << 2004
            << 0.06614250297660204;
        // Two groups of six: Var = (12·11·29 − 2·6·5·17)/18, the step after 1995.
        QTest::newRow("a step") << Years{1990, 1991, 1992, 1993, 1994, 1995,
                                         1996, 1997, 1998, 1999, 2000, 2001}
                                << Values{10, 10, 10, 10, 10, 10, 20, 20, 20, 20, 20, 20}
                                << qint64(36) << 156.0 << 35 / std::sqrt(156.0)
                                << 0.005074868097940257 << 1.0555555555555556 << qint64(36) << 1995
                                << 0.03140780113025614;
        QTest::newRow("falling with ties")
            << Years{2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010}
            << Values{5, 4, 4, 3, 3, 3, 2, 2, 1, 0} << qint64(-40) << 358.0 / 3
            << -39 / std::sqrt(358.0 / 3) << 0.0003568075743358504 << -0.5 << qint64(24) << 2006
            << 0.08640834680851252;
        // All equal: Var is 0, z is 0 and p is 1; no split stands out, the first is taken.
        QTest::newRow("constant") << Years{2001, 2002, 2003, 2004, 2005,
                                           2006, 2007, 2008, 2009, 2010}
                                  << Values(10, 7.5) << qint64(0) << 0.0 << 0.0 << 1.0 << 0.0
                                  << qint64(0) << 2001 << 1.0;
    }
    void handFigures() {
        QFETCH(Years, years);
        QFETCH(Values, values);
        QFETCH(qint64, s);
        QFETCH(double, variance);
        QFETCH(double, z);
        QFETCH(double, p);
        QFETCH(double, sen);
        QFETCH(qint64, k);
        QFETCH(int, year);
        QFETCH(double, pettittP);
        const MannKendall mk = MannKendallTest(values);
        QCOMPARE(mk.s, s);
        QCOMPARE(mk.variance, variance);
        QCOMPARE(mk.z, z);
        QVERIFY(std::fabs(mk.p - p) < 1e-12);
        const std::optional<double> slope = SenSlope(years, values);
        QVERIFY(slope);
        QCOMPARE(*slope + 1, sen + 1);
        const Pettitt pettitt = PettittTest(years, values);
        QCOMPARE(pettitt.k, k);
        QCOMPARE(pettitt.year, static_cast<int32_t>(year));
        QVERIFY(std::fabs(pettitt.p - pettittP) < 1e-12);
    }

    // The study's checks sort the file by year, keeping file order within a year, and agree with
    // every figure counted the long way.
    void agreeWithBruteForce_data() {
        QTest::addColumn<Years>("fileYears");
        QTest::addColumn<Values>("fileValues");
        QTest::addColumn<Years>("years");   // in year order, sorted by hand
        QTest::addColumn<Values>("values"); // likewise
        QTest::newRow("shuffled, 2001 twice")
            << Years{2005, 2001, 2001, 2002, 2009, 2003, 2004, 2006, 2007, 2008}
            << Values{5, 3, 1, 4, 8, 4, 2, 7, 6, 9}
            << Years{2001, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009}
            << Values{3, 1, 4, 4, 2, 5, 7, 6, 9, 8};
        // Reversed file order: the later 1990 value of the file stays after the earlier one.
        QTest::newRow("newest first, 1990 three times")
            << Years{1999, 1998, 1997, 1996, 1995, 1994, 1993, 1992, 1990, 1990, 1990}
            << Values{12, 15, 11, 9, 9, 14, 10, 8, 30, 5, 20}
            << Years{1990, 1990, 1990, 1992, 1993, 1994, 1995, 1996, 1997, 1998, 1999}
            << Values{30, 5, 20, 8, 10, 14, 9, 9, 11, 15, 12};
        for (const auto& [n, seed] : {std::pair{10, 1u}, {100, 42u}, {257, 2026u}}) {
            Years years;
            Values values;
            Scrambled(n, seed, years, values);
            QTest::addRow("scrambled %d", n) << years << values << years << values;
        }
    }
    void agreeWithBruteForce() {
        QFETCH(Years, fileYears);
        QFETCH(Values, fileValues);
        QFETCH(Years, years);
        QFETCH(Values, values);
        const std::optional<DataChecks> checks =
            ComputeDataChecks(MakeSeries(fileYears, fileValues));
        QVERIFY(checks);
        const DataChecks expected = BruteForce(years, values);
        QCOMPARE(checks->mannKendall.s, expected.mannKendall.s);
        QCOMPARE(checks->mannKendall.variance, expected.mannKendall.variance);
        QCOMPARE(checks->mannKendall.z, expected.mannKendall.z);
        QVERIFY(std::fabs(checks->mannKendall.p - expected.mannKendall.p) < 1e-12);
        QCOMPARE(*checks->senSlope + 1, *expected.senSlope + 1);
        QCOMPARE(checks->pettitt.k, expected.pettitt.k);
        QCOMPARE(checks->pettitt.year, expected.pettitt.year);
        QCOMPARE(checks->pettitt.p, expected.pettitt.p);
    }

    void needTenRecords_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("computed");
        QTest::newRow("nine") << 9 << false;
        QTest::newRow("ten") << 10 << true;
        QTest::newRow("the most") << kMaxRecords << true;
    }
    void needTenRecords() {
        QFETCH(int, records);
        Years years;
        Values values;
        Scrambled(records, 3u, years, values);
        QFETCH(bool, computed);
        QCOMPARE(ComputeDataChecks(MakeSeries(years, values)).has_value(), computed);
    }

    // Ten records of one year have no slope between them.
    void sameYearHasNoSlope() {
        const std::optional<DataChecks> checks =
            ComputeDataChecks(MakeSeries(Years(10, 2000), Values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QVERIFY(checks);
        QVERIFY(!checks->senSlope);
        QCOMPARE(checks->mannKendall.s, qint64(45));
    }

    void sentences_data() {
        QTest::addColumn<qint64>("s");
        QTest::addColumn<double>("p");
        QTest::addColumn<QString>("trend");
        QTest::addColumn<QString>("change");
        QTest::newRow("nothing") << qint64(12) << 0.3 << "5 % の有意水準で傾向は認められません"
                                 << "5 % の有意水準で変化点は認められません";
        QTest::newRow("just at the level")
            << qint64(-30) << 0.05 << "5 % の有意水準で傾向は認められません"
            << "5 % の有意水準で変化点は認められません";
        QTest::newRow("rising") << qint64(40) << 0.0499
                                << "5 % の有意水準で増加の傾向が認められます"
                                << "5 % の有意水準で 1987 年に変化点が認められます";
        QTest::newRow("falling") << qint64(-40) << 0.001
                                 << "5 % の有意水準で減少の傾向が認められます"
                                 << "5 % の有意水準で 1987 年に変化点が認められます";
    }
    void sentences() {
        QFETCH(qint64, s);
        QFETCH(double, p);
        QFETCH(QString, trend);
        QFETCH(QString, change);
        MannKendall mk;
        mk.s = s;
        mk.p = p;
        QCOMPARE(TrendSentence(mk), trend);
        Pettitt pettitt;
        pettitt.year = 1987;
        pettitt.p = p;
        QCOMPARE(ChangePointSentence(pettitt), change);
    }

    void threeSignificantDigits_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("units") << 2.3456 << "2.35";
        QTest::newRow("small") << 0.041234 << "0.0412";
        QTest::newRow("whole") << 1234.0 << "1230";
        QTest::newRow("rounds up to a thousand") << 999.6 << "1000";
        QTest::newRow("zero") << 0.0 << "0.00";
    }
    void threeSignificantDigits() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ThreeSignificant(value), text);
    }
};

QTEST_APPLESS_MAIN(TestDataChecks)
#include "test_datachecks.moc"
