#include "formats/deviatetable.h"
#include "nearequal.h"
#include "state/loading.h"
#include "states.h"
#include "statistics/fitmeasures.h"
#include "statistics/mathfunctions.h"

#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

const ReturnPeriodValues& Period(const FitMeasures& m, int period) {
    for (const ReturnPeriodValues& p : m.periods)
        if (p.period == period)
            return p;
    qFatal("no period %d", period);
}

} // namespace

class TestFitMeasures : public QObject {
    Q_OBJECT
private slots:
    // 10, 100, 10000: logs 1, 2, 4, mean 7/3, deviates -t, 0, t with t = table[333];
    // Sxz = 3t, Szz = 2t^2, slope 3/(2t), Sxx = 14/3. Residuals (x - mean)/s - z are t/9,
    // -2t/9, t/9.
    void threeRecordsByHand() {
        const AppState state = AnalysedState({10, 100, 10000});
        const double t = state.deviateTable[333];
        const FitMeasures m = state.study.paper;
        QVERIFY(m.correlation && m.slsc);
        QUORVEL_COMPARE_NEAR(*m.correlation, 3 / std::sqrt(28.0 / 3), 1e-14);
        QUORVEL_COMPARE_NEAR(*m.slsc, t * std::sqrt(2.0) / (18 * state.deviateTable[490]), 1e-14);

        const double mean = 7.0 / 3;
        const double slope = 3 / (2 * t);
        QUORVEL_COMPARE_NEAR(Period(m, 2).dry, std::pow(10.0, mean), 1e-10);
        QCOMPARE(Period(m, 2).wet, Period(m, 2).dry);
        QUORVEL_COMPARE_NEAR(Period(m, 5).dry,
                             std::pow(10.0, mean - slope * state.deviateTable[300]), 1e-9);
        QUORVEL_COMPARE_NEAR(Period(m, 50).wet,
                             std::pow(10.0, mean + slope * state.deviateTable[480]), 1e-7);
        // The 1-in-10 and 1-in-100 values are the printed page's, bit for bit.
        const DryWetValues page = ComputeDryWetValues(state);
        QCOMPARE(Period(m, 10).dry, page.dry10);
        QCOMPARE(Period(m, 100).dry, page.dry100);
        QCOMPARE(Period(m, 10).wet, page.wet10);
        QCOMPARE(Period(m, 100).wet, page.wet100);
        QUORVEL_COMPARE_NEAR(page.dry10, std::pow(10.0, mean - slope * state.deviateTable[400]),
                             1e-9);
        // Three records: beyond six years is an extrapolation.
        QVERIFY(!Period(m, 5).extrapolation);
        QVERIFY(Period(m, 10).extrapolation);

        // Without one record two remain, at the plotting positions 1/4 and 3/4: the jackknife's
        // lines take the exact normal quantile there, -u and u with u = Φ⁻¹(0.75), and go
        // through the two values' mean with slope half their difference over u. At T = 2 each
        // re-run gives 10^mean: 1000, 10^2.5 and 10^1.5.
        const double q[] = {1000, std::pow(10.0, 2.5), std::pow(10.0, 1.5)};
        const double qBar = (q[0] + q[1] + q[2]) / 3;
        double squares = 0;
        for (double v : q)
            squares += (v - qBar) * (v - qBar);
        QVERIFY(m.errorProblem.isEmpty());
        QUORVEL_COMPARE_NEAR(*Period(m, 2).dryError, std::sqrt(2.0 / 3 * squares), 1e-9);
        // At T = 5 the dry value of each re-run is 10^(mean - slope * Φ⁻¹(0.8)).
        const double u = StandardNormalQuantile(0.75);
        const double z5 = StandardNormalQuantile(0.8);
        const double q5[] = {std::pow(10.0, 3 - z5 / u), std::pow(10.0, 2.5 - 1.5 * z5 / u),
                             std::pow(10.0, 1.5 - 0.5 * z5 / u)};
        const double q5Bar = (q5[0] + q5[1] + q5[2]) / 3;
        squares = 0;
        for (double v : q5)
            squares += (v - q5Bar) * (v - q5Bar);
        QUORVEL_COMPARE_NEAR(*Period(m, 5).dryError, std::sqrt(2.0 / 3 * squares), 1e-9);
    }

    // The page's jackknife forms its estimates and errors from lines on the exact normal
    // quantile of the plotting positions, the whole series' line included, while the values
    // shown stay the page's. Here the lines are fitted afresh from their definition.
    void lineJackknifeOnExactDeviates_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<double>("alpha");
        QTest::newRow("five, Hazen") << QList<double>{50, 70, 60, 100, 80} << 0.5;
        QTest::newRow("ties, Cunnane") << QList<double>{120, 90, 120, 300, 75, 90, 210} << 0.4;
        QTest::newRow("twelve, Weibull")
            << QList<double>{1591.9, 1772.5, 1598.6, 1578.8, 1448.6, 1210.2,
                             2003.4, 1666.1, 1390.0, 1865.2, 1501.7, 1733.3}
            << 0.0;
    }
    void lineJackknifeOnExactDeviates() {
        QFETCH(QList<double>, values);
        QFETCH(double, alpha);
        const AppState state = AnalysedState(values, alpha);
        const FitMeasures& m = state.study.paper;
        QVERIFY(m.errorProblem.isEmpty());
        // log10 x(F) of the line through the logarithms of xs on z_i = Φ⁻¹((i − α)/(n + 1 − 2α)).
        auto line = [alpha](QList<double> xs, double F) {
            std::sort(xs.begin(), xs.end());
            const int n = xs.size();
            double mean = 0;
            for (double x : xs)
                mean += std::log10(x) / n;
            double szz = 0;
            double syz = 0;
            for (int i = 0; i < n; ++i) {
                const double z = StandardNormalQuantile((i + 1 - alpha) / (n + 1 - 2 * alpha));
                szz += z * z;
                syz += (std::log10(xs[i]) - mean) * z;
            }
            return std::pow(10.0, mean + syz / szz * StandardNormalQuantile(F));
        };
        const int n = values.size();
        for (int T : {10, 100}) {
            for (const double F : {1.0 / T, 1 - 1.0 / T}) {
                QList<double> leftOut;
                for (int j = 0; j < n; ++j) {
                    QList<double> others = values;
                    others.removeAt(j);
                    leftOut << line(others, F);
                }
                double mean = 0;
                for (double v : leftOut)
                    mean += v / n;
                double squares = 0;
                for (double v : leftOut)
                    squares += (v - mean) * (v - mean);
                const ReturnPeriodValues& p = Period(m, T);
                const bool wet = F > 0.5;
                QUORVEL_COMPARE_NEAR(*(wet ? p.wetJackknife : p.dryJackknife),
                                     n * line(values, F) - (n - 1) * mean, 1e-9 * mean);
                QUORVEL_COMPARE_NEAR(*(wet ? p.wetError : p.dryError),
                                     std::sqrt((n - 1.0) / n * squares), 1e-9 * mean);
            }
        }
        // The values shown are the page's, from the table's deviates.
        QCOMPARE(Period(m, 100).wet, ComputeDryWetValues(state).wet100);
    }

    void unavailableMeasures_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<bool>("correlation");
        QTest::addColumn<bool>("slsc");
        QTest::addColumn<bool>("errors");
        QTest::newRow("two records") << QList<double>{10, 1000} << true << true << false;
        QTest::newRow("level without the one high value")
            << QList<double>{50, 50, 50, 100} << true << true << false;
        QTest::newRow("four distinct") << QList<double>{50, 70, 60, 100} << true << true << true;
    }
    void unavailableMeasures() {
        QFETCH(QList<double>, values);
        QFETCH(bool, correlation);
        QFETCH(bool, slsc);
        QFETCH(bool, errors);
        const AppState state = AnalysedState(values);
        const FitMeasures m = state.study.paper;
        QCOMPARE(m.correlation.has_value(), correlation);
        QCOMPARE(m.slsc.has_value(), slsc);
        QCOMPARE(m.errorProblem.isEmpty(), errors);
        for (const ReturnPeriodValues& p : m.periods) {
            QCOMPARE(p.dryError.has_value(), errors);
            QCOMPARE(p.wetError.has_value(), errors);
        }
        QCOMPARE(ErrorBandCurves(m).has_value(), errors);
    }

    void outlierWidensTheErrors() {
        const QList<double> smooth = {900,  1000, 1100, 950,  1050, 1200, 850, 1000,
                                      1150, 980,  1020, 1080, 920,  1010, 990, 1060};
        const QList<double> outlier = {900,  1000, 1100, 950,  1050, 1200, 850, 1000,
                                       1150, 980,  1020, 1080, 920,  1010, 990, 9000};
        const FitMeasures a = AnalysedState(smooth).study.paper;
        const FitMeasures b = AnalysedState(outlier).study.paper;
        for (int period : {10, 100}) {
            QVERIFY(*Period(b, period).wetError > 3 * *Period(a, period).wetError);
            QVERIFY(*Period(b, period).dryError > *Period(a, period).dryError);
        }
        QVERIFY(*b.slsc > *a.slsc);
        QVERIFY(*b.correlation < *a.correlation);
    }

    void bandRunsThroughEveryPeriodOnce() {
        const FitMeasures m = AnalysedState({50, 70, 60, 100, 80}).study.paper;
        const auto band = ErrorBandCurves(m);
        QVERIFY(band);
        // 11 dry and 11 wet periods share the median year.
        QCOMPARE(band->lower.size(), size_t(21));
        QCOMPARE(band->upper.size(), size_t(21));
        for (size_t i = 1; i < band->upper.size(); ++i)
            QVERIFY(band->upper[i]->deviate > band->upper[i - 1]->deviate);
        // Wet periods follow the eleven dry points: 1-in-100 is the ninth period.
        const ReturnPeriodValues& w100 = Period(m, 100);
        const BandPoint& up = *band->upper[18];
        QCOMPARE(up.deviate, w100.wetDeviate);
        QUORVEL_COMPARE_NEAR(up.logValue, std::log10(w100.wet + *w100.wetError), 1e-12);
    }
};

QTEST_GUILESS_MAIN(TestFitMeasures)
#include "test_fitmeasures.moc"
