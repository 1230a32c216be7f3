#include "nearequal.h"
#include "states.h"
#include "statistics/dataerror.h"
#include "statistics/distributionfits.h"
#include "statistics/intensity.h"
#include "statistics/resampling.h"

#include <QTest>

#include <cmath>
#include <vector>

Q_DECLARE_METATYPE(IntensityFormula)

namespace {

const std::vector<int> kTenMinutesToTwoHours{10, 20, 30, 40, 60, 80, 120};

// The intensities a formula with these constants gives at each duration.
std::vector<IntensityPoint> PointsOf(IntensityFormula formula, double a, double b, double n,
                                     const std::vector<int>& minutes) {
    std::vector<IntensityPoint> points;
    for (int t : minutes) {
        double denominator = 0;
        switch (formula) {
        case IntensityFormula::Talbot:
        case IntensityFormula::Characteristic:
            denominator = t + b;
            break;
        case IntensityFormula::KunoIshiguro:
            denominator = std::sqrt(t) + b;
            break;
        case IntensityFormula::Sherman:
            denominator = std::pow(t, n);
            break;
        case IntensityFormula::Cleveland:
            denominator = std::pow(t, n) + b;
            break;
        }
        points.push_back({t, a / denominator});
    }
    return points;
}

void CompareRelative(double actual, double expected, double relative) {
    QUORVEL_COMPARE_NEAR(actual, expected, relative * std::fabs(expected));
}

// A series of `years` values of a Gumbel-like spread around `scale`, in a shuffled order.
SeriesData SeriesOf(int years, double scale) {
    SeriesData series;
    series.recordCount = years;
    for (int i = 0; i < years; ++i) {
        const int rank = (i * 17) % years;
        const double F = (rank + 0.5) / years;
        series.years[i] = 1960 + i;
        series.values[i] = scale * (1 + 0.3 * -std::log(-std::log(F)));
    }
    return series;
}

// Talbot-like depths: R(t) = 5000 / (t + 30) × t / 60 for the median year.
std::vector<DurationColumn> Columns(const std::vector<int>& minutes, int years = 40) {
    std::vector<DurationColumn> columns;
    for (int t : minutes) {
        const QString label =
            t % 60 == 0 ? QStringLiteral("%1h").arg(t / 60) : QStringLiteral("%1min").arg(t);
        columns.push_back({label, t, SeriesOf(years, 5000.0 / (t + 30) * t / 60)});
    }
    return columns;
}

} // namespace

class TestIntensity : public QObject {
    Q_OBJECT
private slots:
    // Intensities made by a formula with known constants give the constants back.
    void knownConstantsComeBack_data() {
        QTest::addColumn<IntensityFormula>("formula");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("n");
        QTest::newRow("talbot") << IntensityFormula::Talbot << 5000.0 << 30.0 << 0.0;
        QTest::newRow("talbot, no b") << IntensityFormula::Talbot << 3000.0 << 0.0 << 0.0;
        QTest::newRow("kuno_ishiguro") << IntensityFormula::KunoIshiguro << 800.0 << 2.5 << 0.0;
        QTest::newRow("sherman") << IntensityFormula::Sherman << 600.0 << 0.0 << 0.65;
        QTest::newRow("cleveland") << IntensityFormula::Cleveland << 1200.0 << 12.0 << 0.8;
        QTest::newRow("cleveland, lowest n") << IntensityFormula::Cleveland << 400.0 << 3.0 << 0.3;
        QTest::newRow("cleveland, highest n")
            << IntensityFormula::Cleveland << 90000.0 << 40.0 << 1.5;
        QTest::newRow("characteristic")
            << IntensityFormula::Characteristic << 5000.0 << 30.0 << 0.0;
    }
    void knownConstantsComeBack() {
        QFETCH(IntensityFormula, formula);
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, n);
        const std::vector<IntensityPoint> points =
            PointsOf(formula, a, b, n, kTenMinutesToTwoHours);
        const FormulaFit fit = FitIntensityFormula(formula, points);
        QVERIFY2(fit.applicable(), qPrintable(fit.problem));
        CompareRelative(*fit.a, a, 1e-10);
        QCOMPARE(fit.b.has_value(), FormulaHasB(formula));
        QCOMPARE(fit.n.has_value(), FormulaHasN(formula));
        if (fit.b)
            QUORVEL_COMPARE_NEAR(*fit.b, b, 1e-9 * std::max(1.0, b));
        if (formula == IntensityFormula::Cleveland)
            QCOMPARE(*fit.n, n); // on the grid, exactly
        else if (fit.n)
            CompareRelative(*fit.n, n, 1e-10);
        QVERIFY(*fit.rmse < 1e-9);
        QVERIFY(*fit.maxRelativeError < 1e-9);
        for (const IntensityPoint& p : points)
            CompareRelative(*fit.intensityAt(p.minutes), p.intensity, 1e-10);
    }

    // A small table whose least-squares constants come from the normal equations solved here
    // by deviations from the means, not by the sums the program takes.
    void leastSquaresByAnotherRoute_data() {
        QTest::addColumn<QList<int>>("minutes");
        QTest::addColumn<QList<double>>("intensities");
        QTest::newRow("three durations") << QList<int>{10, 30, 60} << QList<double>{120, 75, 48};
        QTest::newRow("four durations")
            << QList<int>{10, 20, 60, 120} << QList<double>{131.2, 101.7, 55.3, 33.9};
        QTest::newRow("hours") << QList<int>{60, 120, 180, 360, 720, 1440}
                               << QList<double>{38.5, 24.1, 18.2, 11.0, 6.9, 4.2};
    }
    void leastSquaresByAnotherRoute() {
        QFETCH(QList<int>, minutes);
        QFETCH(QList<double>, intensities);
        std::vector<IntensityPoint> points;
        for (qsizetype i = 0; i < minutes.size(); ++i)
            points.push_back({minutes[i], intensities[i]});
        // y = c0 + c1 x by centred sums.
        auto line = [](const std::vector<double>& x, const std::vector<double>& y) {
            double mx = 0, my = 0;
            for (size_t i = 0; i < x.size(); ++i) {
                mx += x[i] / x.size();
                my += y[i] / y.size();
            }
            double sxy = 0, sxx = 0;
            for (size_t i = 0; i < x.size(); ++i) {
                sxy += (x[i] - mx) * (y[i] - my);
                sxx += (x[i] - mx) * (x[i] - mx);
            }
            const double slope = sxy / sxx;
            return std::pair{my - slope * mx, slope};
        };
        std::vector<double> I, It, Ir, lt, lI;
        for (const IntensityPoint& p : points) {
            I.push_back(p.intensity);
            It.push_back(p.intensity * p.minutes);
            Ir.push_back(p.intensity * std::sqrt(p.minutes));
            lt.push_back(std::log10(p.minutes));
            lI.push_back(std::log10(p.intensity));
        }
        // I·t = a − b·I: intercept a, slope −b.
        const auto [ta, tb] = line(I, It);
        const FormulaFit talbot = FitIntensityFormula(IntensityFormula::Talbot, points);
        QVERIFY2(talbot.applicable(), qPrintable(talbot.problem));
        CompareRelative(*talbot.a, ta, 1e-9);
        CompareRelative(*talbot.b, -tb, 1e-9);
        const auto [ka, kb] = line(I, Ir);
        const FormulaFit kuno = FitIntensityFormula(IntensityFormula::KunoIshiguro, points);
        if (-kb >= 0) {
            CompareRelative(*kuno.a, ka, 1e-9);
            CompareRelative(*kuno.b, -kb, 1e-9);
        } else {
            QVERIFY(!kuno.applicable());
        }
        const auto [sa, sn] = line(lt, lI);
        const FormulaFit sherman = FitIntensityFormula(IntensityFormula::Sherman, points);
        CompareRelative(*sherman.a, std::pow(10.0, sa), 1e-9);
        CompareRelative(*sherman.n, -sn, 1e-9);
        // The fit measures of Talbot's formula, worked out from its constants.
        double squares = 0, largest = 0;
        for (const IntensityPoint& p : points) {
            const double fitted = ta / (p.minutes - tb);
            squares += (p.intensity - fitted) * (p.intensity - fitted);
            largest = std::max(largest, std::fabs(p.intensity - fitted) / p.intensity);
        }
        CompareRelative(*talbot.rmse, std::sqrt(squares / points.size()), 1e-9);
        CompareRelative(*talbot.maxRelativeError, largest, 1e-9);
        // The best formula has the least root mean square of those that apply.
        const auto fits = FitIntensityFormulas(points);
        int marked = 0;
        for (const FormulaFit& fit : fits) {
            marked += fit.best;
            for (const FormulaFit& other : fits)
                if (fit.best && other.rmse)
                    QVERIFY(*fit.rmse <= *other.rmse);
        }
        QCOMPARE(marked, 1);
    }

    // Cleveland's n lies on the grid of thousandths and its neighbours fit worse, each fitted
    // here by its own Talbot solution.
    void clevelandOnTheGrid_data() {
        QTest::addColumn<double>("trueN");
        QTest::newRow("between grid points") << 0.7234;
        QTest::newRow("near the top") << 1.4996;
        QTest::newRow("on a grid point") << 0.555;
    }
    void clevelandOnTheGrid() {
        QFETCH(double, trueN);
        const std::vector<IntensityPoint> points =
            PointsOf(IntensityFormula::Cleveland, 900, 6, trueN, kTenMinutesToTwoHours);
        const FormulaFit fit = FitIntensityFormula(IntensityFormula::Cleveland, points);
        QVERIFY2(fit.applicable(), qPrintable(fit.problem));
        const double millis = *fit.n * 1000;
        QCOMPARE(millis, std::round(millis));
        QVERIFY(std::fabs(*fit.n - trueN) <= 0.0011);
        auto squaresAt = [&](double n) {
            std::vector<IntensityPoint> x = points;
            double m = x.size(), sI = 0, sI2 = 0, sIx = 0, sI2x = 0;
            for (const IntensityPoint& p : points) {
                const double tn = std::pow(p.minutes, n);
                sI += p.intensity;
                sI2 += p.intensity * p.intensity;
                sIx += p.intensity * tn;
                sI2x += p.intensity * p.intensity * tn;
            }
            const double d = m * sI2 - sI * sI;
            const double a = (sIx * sI2 - sI2x * sI) / d;
            const double b = (sIx * sI - m * sI2x) / d;
            double s = 0;
            for (const IntensityPoint& p : points) {
                const double r = p.intensity - a / (std::pow(p.minutes, n) + b);
                s += r * r;
            }
            return s;
        };
        const double at = squaresAt(*fit.n);
        if (*fit.n > 0.3)
            QVERIFY(at <= squaresAt(*fit.n - 0.001));
        if (*fit.n < 1.5)
            QVERIFY(at <= squaresAt(*fit.n + 0.001));
    }

    // The characteristic coefficient's formula goes through the 10- and 60-minute points.
    void characteristicTwoPointForm_data() {
        QTest::addColumn<double>("tenMinutes");
        QTest::addColumn<double>("hour");
        QTest::addColumn<double>("b");
        // β = 2.5: b = (60 − 25) / 1.5.
        QTest::newRow("beta 2.5") << 125.0 << 50.0 << 35.0 / 1.5;
        // β = 6: b = 0.
        QTest::newRow("beta 6") << 120.0 << 20.0 << 0.0;
        QTest::newRow("beta 1.8") << 90.0 << 50.0 << 42.0 / 0.8;
    }
    void characteristicTwoPointForm() {
        QFETCH(double, tenMinutes);
        QFETCH(double, hour);
        QFETCH(double, b);
        const std::vector<IntensityPoint> points{
            {10, tenMinutes}, {30, 0.7 * tenMinutes}, {60, hour}, {120, 0.6 * hour}};
        const FormulaFit fit = FitIntensityFormula(IntensityFormula::Characteristic, points);
        QVERIFY2(fit.applicable(), qPrintable(fit.problem));
        QUORVEL_COMPARE_NEAR(*fit.b, b, 1e-12 * std::max(1.0, b));
        CompareRelative(*fit.a, hour * (60 + b), 1e-12);
        CompareRelative(*fit.intensityAt(10), tenMinutes, 1e-12);
        CompareRelative(*fit.intensityAt(60), hour, 1e-12);
    }

    // What cannot be fitted says why, and nothing it gives is a NaN.
    void notApplicable_data() {
        QTest::addColumn<IntensityFormula>("formula");
        QTest::addColumn<QList<int>>("minutes");
        QTest::addColumn<QList<double>>("intensities");
        QTest::addColumn<QString>("problem");
        QTest::newRow("two durations")
            << IntensityFormula::Sherman << QList<int>{10, 60} << QList<double>{100, 40}
            << QStringLiteral("当てはめる継続時間が 2 つしかありません（3 つ以上が必要です）。");
        QTest::newRow("equal intensities")
            << IntensityFormula::Talbot << QList<int>{10, 20, 30} << QList<double>{50, 50, 50}
            << QStringLiteral("最小二乗法の分母が 0");
        // I = 300 / (t − 5): b = −5.
        QTest::newRow("negative b") << IntensityFormula::Talbot << QList<int>{10, 20, 45}
                                    << QList<double>{60, 20, 7.5} << QStringLiteral("b が負（-5）");
        QTest::newRow("no hour") << IntensityFormula::Characteristic << QList<int>{10, 20, 30}
                                 << QList<double>{60, 40, 30}
                                 << QStringLiteral("10 分と 60 分の両方");
        QTest::newRow("beta 1") << IntensityFormula::Characteristic << QList<int>{10, 30, 60}
                                << QList<double>{40, 40, 40} << QStringLiteral("β = 1");
        QTest::newRow("intensity not positive")
            << IntensityFormula::Cleveland << QList<int>{10, 20, 30} << QList<double>{60, 0, 30}
            << QStringLiteral("20 分の強度が正の数ではない");
        // Intensities rising with the duration: every n gives a negative b.
        QTest::newRow("cleveland, rising")
            << IntensityFormula::Cleveland << QList<int>{10, 20, 30} << QList<double>{10, 20, 30}
            << QStringLiteral("n = 0.300～1.500 のどれでも");
    }
    void notApplicable() {
        QFETCH(IntensityFormula, formula);
        QFETCH(QList<int>, minutes);
        QFETCH(QList<double>, intensities);
        QFETCH(QString, problem);
        std::vector<IntensityPoint> points;
        for (qsizetype i = 0; i < minutes.size(); ++i)
            points.push_back({minutes[i], intensities[i]});
        const FormulaFit fit = FitIntensityFormula(formula, points);
        QVERIFY(!fit.applicable());
        QVERIFY2(fit.problem.contains(problem), qPrintable(fit.problem));
        QVERIFY(!fit.a && !fit.b && !fit.n && !fit.rmse && !fit.maxRelativeError);
        QVERIFY(!fit.intensityAt(30));
    }

    // Each duration's T-year values are its own study's: the selected (or fixed) model's wet
    // value, its jackknife error, the intensity and the upper value; 7 years by leaving out
    // each value here.
    void tableAgreesWithTheStudy_data() {
        QTest::addColumn<int>("fixed"); // -1: each duration's selected model
        QTest::newRow("selected") << -1;
        QTest::newRow("gumbel for all") << static_cast<int>(ModelId::Gumbel);
        QTest::newRow("the page's line for all") << static_cast<int>(ModelId::Ln2Paper);
    }
    void tableAgreesWithTheStudy() {
        QFETCH(int, fixed);
        RainfallSettings settings;
        if (fixed >= 0)
            settings.model = static_cast<ModelId>(fixed);
        const std::vector<DurationColumn> columns = Columns({10, 30, 60, 180, 1440, 2880});
        const std::vector<size_t> fitted = DefaultFitDurations(columns);
        QCOMPARE(fitted, (std::vector<size_t>{0, 1, 2, 3, 4}));
        const IntensityStudy study =
            ComputeIntensityStudy(columns, fitted, settings, RealDeviateTable());
        QCOMPARE(study.durations.size(), columns.size());
        for (size_t i = 0; i < columns.size(); ++i) {
            const DurationRainfall& d = study.durations[i];
            const Study own = ComputeStudy(columns[i].series, settings.study, RealDeviateTable());
            const ModelId id = settings.model ? *settings.model : *own.models.selected;
            QCOMPARE(*d.model, id);
            const ModelComparison& row = own.models.model(id);
            QCOMPARE(*d.slsc, *row.slsc);
            for (const RainfallPeriod& p : d.periods) {
                QVERIFY(p.depth && p.intensity && p.error && p.upper);
                QCOMPARE(*p.intensity, *p.depth * 60 / columns[i].minutes);
                QCOMPARE(*p.upper, *p.depth + *p.error);
                if (p.period != 7) {
                    QCOMPARE(*p.depth, row.period(p.period)->wet);
                    QCOMPARE(*p.error, *row.period(p.period)->wetError);
                    continue;
                }
                QCOMPARE(*p.depth, *row.model.quantile(1 - 1.0 / 7));
                if (id != ModelId::Gumbel)
                    continue;
                // The jackknife error of the 7-year Gumbel value, refitted without each year.
                std::vector<double> sorted(columns[i].series.values.begin(),
                                           columns[i].series.values.begin() + 40);
                std::sort(sorted.begin(), sorted.end());
                std::vector<double> left;
                for (size_t j = 0; j < sorted.size(); ++j) {
                    std::vector<double> rest = sorted;
                    rest.erase(rest.begin() + j);
                    left.push_back(*FitModel(ModelId::Gumbel, rest).quantile(1 - 1.0 / 7));
                }
                double mean = 0, squares = 0;
                for (double v : left)
                    mean += v / left.size();
                for (double v : left)
                    squares += (v - mean) * (v - mean);
                CompareRelative(*p.error, std::sqrt(39.0 / 40 * squares), 1e-9);
            }
        }
        // The formulas of each period are those of the fitted durations' intensities.
        for (size_t k = 0; k < kRainfallPeriodCount; ++k) {
            std::vector<IntensityPoint> points;
            for (size_t i : fitted)
                points.push_back({columns[i].minutes, *study.durations[i].periods[k].intensity});
            const auto fits = FitIntensityFormulas(points);
            QCOMPARE(study.formulas[k].period, kRainfallPeriods[k]);
            for (size_t f = 0; f < kIntensityFormulaCount; ++f) {
                QCOMPARE(study.formulas[k].fits[f].a, fits[f].a);
                QCOMPARE(study.formulas[k].fits[f].best, fits[f].best);
            }
        }
    }

    // The jackknife at any probabilities is the study's at its periods' wet probabilities.
    void jackknifeAtMatchesThePeriods_data() {
        QTest::addColumn<int>("model");
        for (ModelId id : {ModelId::Ln2Pm, ModelId::Ln3Iwai, ModelId::Lp3, ModelId::Gumbel,
                           ModelId::Sqrtet, ModelId::Gev})
            QTest::newRow(ModelKey(id)) << static_cast<int>(id);
    }
    void jackknifeAtMatchesThePeriods() {
        QFETCH(int, model);
        const ModelId id = static_cast<ModelId>(model);
        const SeriesData series = SeriesOf(35, 80);
        const Study study = ComputeStudy(series, {}, RealDeviateTable());
        const ModelComparison& row = study.models.model(id);
        QVERIFY2(row.jackknifeProblem.isEmpty(), qPrintable(row.jackknifeProblem));
        std::vector<double> sorted(series.values.begin(), series.values.begin() + 35);
        std::sort(sorted.begin(), sorted.end());
        const SampleArrays arrays(sorted, 0.5);
        std::vector<double> probabilities;
        for (int T : kReturnPeriods)
            probabilities.push_back(1 - 1.0 / T);
        std::vector<JackknifeFigures> figures;
        QVERIFY(
            JackknifeAt(id, arrays.of(sorted), 0.5, row.model, probabilities, figures).complete());
        QCOMPARE(figures.size(), kPeriodCount);
        for (size_t k = 0; k < kPeriodCount; ++k) {
            CompareRelative(figures[k].error, *row.periods[k].wetError, 1e-12);
            CompareRelative(figures[k].estimate, *row.periods[k].wetJackknife, 1e-12);
        }
    }

    // Too few durations or years say what is missing.
    void whatIsMissing_data() {
        QTest::addColumn<QList<int>>("minutes");
        QTest::addColumn<int>("years");
        QTest::addColumn<QString>("thrown");  // empty: nothing thrown
        QTest::addColumn<QString>("problem"); // of every formula of the first period
        QTest::newRow("two durations")
            << QList<int>{60, 1440} << 40
            << QStringLiteral("降雨強度式には 3 つ以上の継続時間が必要ですが、当てはめる継続時間は "
                              "2 つです（1h、24h）。")
            << QString();
        QTest::newRow("two years") << QList<int>{10, 60, 120} << 2 << QString()
                                   << QStringLiteral("10min の 2 年確率雨量がないため");
    }
    void whatIsMissing() {
        QFETCH(QList<int>, minutes);
        QFETCH(int, years);
        QFETCH(QString, thrown);
        QFETCH(QString, problem);
        const std::vector<DurationColumn> columns =
            Columns(std::vector<int>(minutes.begin(), minutes.end()), years);
        try {
            const IntensityStudy study = ComputeIntensityStudy(
                columns, DefaultFitDurations(columns), {}, RealDeviateTable());
            QVERIFY(thrown.isEmpty());
            for (const DurationRainfall& d : study.durations) {
                QVERIFY(!d.hasValues());
                QVERIFY(!d.problem.isEmpty());
            }
            for (const FormulaFit& fit : study.formulas[0].fits)
                QVERIFY2(fit.problem.contains(problem), qPrintable(fit.problem));
        } catch (const DataError& error) {
            QCOMPARE(error.message(), thrown);
        }
    }
};

QTEST_GUILESS_MAIN(TestIntensity)
#include "test_intensity.moc"
