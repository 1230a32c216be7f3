#include "nearequal.h"
#include "states.h"
#include "statistics/bootstrap.h"
#include "statistics/mathfunctions.h"
#include "statistics/study.h"

#include <QTest>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <numbers>

Q_DECLARE_METATYPE(ResampleKind)

namespace {

// The 30-year sample's values, in the order of its file.
QList<double> ThirtyYears() {
    const AppState state = [] {
        AppState s = FirstLoadState();
        s.dataFileName = QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/precip_30y.csv");
        LoadDataFile(s);
        return s;
    }();
    QList<double> values;
    for (int i = 0; i < state.study.series.recordCount; ++i)
        values.append(state.study.series.values[static_cast<size_t>(i)]);
    return values;
}

BootstrapInput InputOf(const QList<double>& values, double alpha = 0.5) {
    return BootstrapInputOf(AnalysedState(values, alpha).study);
}

// The published algorithm once more, written out apart from the program's, for the hand
// computation below.
struct ReferenceGenerator {
    uint64_t state;
    double uniform() {
        state += 0x9E3779B97F4A7C15ULL;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        return (static_cast<double>(z >> 11) + 0.5) / 9007199254740992.0;
    }
};

// Gumbel by L-moments, by the textbook formulas: α = l2 / ln 2, ξ = l1 − γα.
double GumbelQuantile(std::vector<double> x, double F) {
    std::sort(x.begin(), x.end());
    const double n = static_cast<double>(x.size());
    double b0 = 0, b1 = 0;
    for (size_t j = 0; j < x.size(); ++j) {
        b0 += x[j] / n;
        b1 += static_cast<double>(j) / (n - 1) * x[j] / n;
    }
    const double alpha = (2 * b1 - b0) / std::numbers::ln2;
    const double xi = b0 - 0.5772156649015329 * alpha;
    return xi - alpha * std::log(-std::log(F));
}

double Quantile7(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const double h = (static_cast<double>(v.size()) - 1) * p;
    const size_t j = static_cast<size_t>(std::floor(h));
    const double upper = j + 1 < v.size() ? v[j + 1] : v[j];
    return v[j] + (h - static_cast<double>(j)) * (upper - v[j]);
}

void CompareFigures(const BootstrapFigures& a, const BootstrapFigures& b) {
    QCOMPARE(a.mean, b.mean);
    QCOMPARE(a.error, b.error);
    QCOMPARE(a.percentile.has_value(), b.percentile.has_value());
    QCOMPARE(a.bca.has_value(), b.bca.has_value());
    if (a.percentile) {
        QCOMPARE(a.percentile->low, b.percentile->low);
        QCOMPARE(a.percentile->high, b.percentile->high);
    }
    if (a.bca) {
        QCOMPARE(a.bca->low, b.bca->low);
        QCOMPARE(a.bca->high, b.bca->high);
    }
}

void CompareResults(const BootstrapResult& a, const BootstrapResult& b) {
    for (size_t m = 0; m < kModelCount; ++m) {
        QCOMPARE(a.models[m].fitted, b.models[m].fitted);
        QCOMPARE(a.models[m].problem, b.models[m].problem);
        for (size_t k = 0; k < kPeriodCount; ++k) {
            CompareFigures(a.models[m].periods[k].dry, b.models[m].periods[k].dry);
            CompareFigures(a.models[m].periods[k].wet, b.models[m].periods[k].wet);
        }
    }
}

} // namespace

class TestBootstrap : public QObject {
    Q_OBJECT
private slots:
    // The first outputs of SplitMix64 as its published reference gives them.
    void generatorKnownAnswers_data() {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<QList<quint64>>("outputs");
        QTest::newRow("seed 0") << quint64(0)
                                << QList<quint64>{0xe220a8397b1dcdafULL, 0x6e789e6aa1b965f4ULL,
                                                  0x06c45d188009454fULL, 0xf88bb8a8724c81ecULL};
        QTest::newRow("seed 1") << quint64(1)
                                << QList<quint64>{0x910a2dec89025cc1ULL, 0xbeeb8da1658eec67ULL,
                                                  0xf893a2eefb32555eULL, 0x71c18690ee42c90bULL};
    }
    void generatorKnownAnswers() {
        QFETCH(quint64, seed);
        QFETCH(QList<quint64>, outputs);
        SplitMix64 generator(seed);
        for (qsizetype k = 0; k < outputs.size(); ++k) {
            QCOMPARE(generator.next(), outputs[k]);
            // Any thread can take the k-th draw without the ones before it.
            QCOMPARE(SplitMix64::output(seed, static_cast<uint64_t>(k + 1)), outputs[k]);
        }
        SplitMix64 again(seed);
        for (int k = 1; k <= 1000; ++k) {
            const double u = again.uniform();
            QVERIFY(u > 0 && u < 1);
            QCOMPARE(SplitMix64::uniformAt(seed, static_cast<uint64_t>(k)), u);
        }
    }

    void type7Quantile_data() {
        QTest::addColumn<QList<double>>("sorted");
        QTest::addColumn<double>("p");
        QTest::addColumn<double>("expected");
        // R: quantile(c(1, 2, 3, 4), p, type = 7); numpy.quantile gives the same.
        QTest::newRow("median of four") << QList<double>{1, 2, 3, 4} << 0.5 << 2.5;
        QTest::newRow("lower quartile") << QList<double>{1, 2, 3, 4} << 0.25 << 1.75;
        QTest::newRow("p = 0 is the least") << QList<double>{1, 2, 3, 4} << 0.0 << 1.0;
        QTest::newRow("p = 1 is the largest") << QList<double>{1, 2, 3, 4} << 1.0 << 4.0;
        QTest::newRow("ties") << QList<double>{1, 1, 3, 4, 5} << 0.9 << 4.6;
        QTest::newRow("one value") << QList<double>{7} << 0.3 << 7.0;
    }
    void type7Quantile() {
        QFETCH(QList<double>, sorted);
        QFETCH(double, p);
        QFETCH(double, expected);
        const std::vector<double> v(sorted.begin(), sorted.end());
        QCOMPARE(Type7Quantile(v, p), expected);
    }

    // Gumbel on five values, twenty resamples: every figure by the definitions, computed here
    // from the draws up.
    void gumbelByHand() {
        const QList<double> values{120, 85, 240, 160, 98};
        BootstrapSettings settings;
        settings.replicates = 20;
        settings.seed = 7;
        settings.level = 0.8;
        const BootstrapInput input = InputOf(values);
        const std::optional<BootstrapResult> result = ComputeBootstrap(input, settings);
        QVERIFY(result);
        const ModelBootstrap& gumbel = result->model(ModelId::Gumbel);
        QVERIFY2(gumbel.hasFigures(), qPrintable(gumbel.problem));
        QCOMPARE(gumbel.fitted, 20);

        const std::vector<double> x(values.begin(), values.end());
        for (const double F : {0.1, 0.99}) {
            ReferenceGenerator generator{7};
            std::vector<double> replicates;
            for (int b = 0; b < 20; ++b) {
                std::vector<double> resample;
                for (size_t i = 0; i < x.size(); ++i)
                    resample.push_back(x[static_cast<size_t>(generator.uniform() * 5)]);
                replicates.push_back(GumbelQuantile(resample, F));
            }
            double mean = 0;
            for (double v : replicates)
                mean += v / 20;
            double squares = 0;
            for (double v : replicates)
                squares += (v - mean) * (v - mean);
            const double error = std::sqrt(squares / 19);

            // BCa: the bias from the share below the whole series' value, the acceleration from
            // the five leave-one-out values.
            const double whole = GumbelQuantile(x, F);
            double below = 0;
            for (double v : replicates)
                below += v < whole ? 1 : v == whole ? 0.5 : 0;
            const double z0 = StandardNormalQuantile(below / 20);
            std::vector<double> leftOut;
            for (size_t j = 0; j < x.size(); ++j) {
                std::vector<double> others = x;
                others.erase(others.begin() + static_cast<std::ptrdiff_t>(j));
                leftOut.push_back(GumbelQuantile(others, F));
            }
            double leftMean = 0;
            for (double v : leftOut)
                leftMean += v / 5;
            double s2 = 0, s3 = 0;
            for (double v : leftOut) {
                s2 += (leftMean - v) * (leftMean - v);
                s3 += std::pow(leftMean - v, 3);
            }
            const double a = s3 / (6 * std::pow(s2, 1.5));
            auto adjusted = [&](double q) {
                const double w = z0 + StandardNormalQuantile(q);
                return StandardNormalCdf(z0 + w / (1 - a * w));
            };

            const BootstrapPeriod* period = gumbel.period(F < 0.5 ? 10 : 100);
            const BootstrapFigures& figures = F < 0.5 ? period->dry : period->wet;
            QUORVEL_COMPARE_NEAR(*figures.mean, mean, 1e-9 * std::fabs(mean));
            QUORVEL_COMPARE_NEAR(*figures.error, error, 1e-9 * error);
            QUORVEL_COMPARE_NEAR(figures.percentile->low, Quantile7(replicates, 0.1), 1e-9 * error);
            QUORVEL_COMPARE_NEAR(figures.percentile->high, Quantile7(replicates, 0.9),
                                 1e-9 * error);
            QVERIFY(figures.bca);
            QUORVEL_COMPARE_NEAR(figures.bca->low, Quantile7(replicates, adjusted(0.1)),
                                 1e-9 * error);
            QUORVEL_COMPARE_NEAR(figures.bca->high, Quantile7(replicates, adjusted(0.9)),
                                 1e-9 * error);
        }
    }

    void sameFiguresOnAnyNumberOfThreads_data() {
        QTest::addColumn<ResampleKind>("kind");
        QTest::newRow("resampling the data") << ResampleKind::Data;
        QTest::newRow("parametric") << ResampleKind::Parametric;
    }
    void sameFiguresOnAnyNumberOfThreads() {
        QFETCH(ResampleKind, kind);
        const BootstrapInput input = InputOf(ThirtyYears());
        BootstrapSettings settings;
        settings.replicates = 200;
        settings.kind = kind;
        QThreadPool one;
        one.setMaxThreadCount(1);
        QThreadPool two;
        two.setMaxThreadCount(2);
        const std::optional<BootstrapResult> a = ComputeBootstrap(input, settings, nullptr, &one);
        const std::optional<BootstrapResult> b = ComputeBootstrap(input, settings, nullptr, &two);
        QVERIFY(a && b);
        CompareResults(*a, *b);
        // Every model the study fitted has its figures on this series, and they mean something.
        for (size_t m = 0; m < kModelCount; ++m) {
            const ModelBootstrap& model = a->models[m];
            QCOMPARE(model.hasFigures(), input.models[m].applicable());
            if (!model.hasFigures())
                continue;
            for (const BootstrapPeriod& p : model.periods) {
                QVERIFY(p.wet.percentile && p.wet.error);
                QVERIFY(p.wet.percentile->low <= p.wet.percentile->high);
                QVERIFY(*p.wet.error >= 0);
            }
        }
    }

    // A cancelled run gives nothing; the next run is the whole one.
    void cancelAndRestart() {
        const BootstrapInput input = InputOf(ThirtyYears());
        BootstrapSettings settings;
        settings.replicates = 300;
        BootstrapProgress cancelled;
        cancelled.cancelled = true;
        QVERIFY(!ComputeBootstrap(input, settings, &cancelled));
        BootstrapProgress progress;
        const std::optional<BootstrapResult> again = ComputeBootstrap(input, settings, &progress);
        const std::optional<BootstrapResult> fresh = ComputeBootstrap(input, settings);
        QVERIFY(again && fresh);
        QCOMPARE(progress.done.load(), 300);
        QCOMPARE(progress.total.load(), 300);
        CompareResults(*again, *fresh);
    }

    // Figures that do not exist are missing with their reason, never a NaN.
    void missingFigures_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("replicates");
        QTest::addColumn<double>("level");
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("problem");
        const QList<double> thirty = ThirtyYears();
        QTest::newRow("B = 0") << thirty << 0 << 0.9 << int(ModelId::Gumbel)
                               << QStringLiteral("再標本が 0 個では誤差も区間も求められません");
        QTest::newRow("level 1") << thirty << 1000 << 1.0 << int(ModelId::Gev)
                                 << QStringLiteral("信頼水準 1 の区間はありません");
        QTest::newRow("too few records for the model")
            << QList<double>{100, 120} << 100 << 0.9 << int(ModelId::Gev)
            << QStringLiteral("データが 3 件以上必要です。");
    }
    void missingFigures() {
        QFETCH(QList<double>, values);
        QFETCH(int, replicates);
        QFETCH(double, level);
        QFETCH(int, model);
        QFETCH(QString, problem);
        BootstrapSettings settings;
        settings.replicates = replicates;
        settings.level = level;
        const std::optional<BootstrapResult> result = ComputeBootstrap(InputOf(values), settings);
        QVERIFY(result);
        const ModelBootstrap& row = result->models[static_cast<size_t>(model)];
        QCOMPARE(row.problem, problem);
        QVERIFY(!row.targetError(kDefaultTarget));
        for (const BootstrapPeriod& p : row.periods)
            QVERIFY(!p.wet.mean && !p.wet.error && !p.wet.percentile && !p.dry.bca);
    }

    // Iwai's bound cannot be found when most resamples repeat the least value: those resamples
    // fail, and with fewer than nine in ten fitted the model has no figures.
    void mostResamplesFail() {
        const QList<double> values{50, 50, 50, 50, 50, 50, 120, 300};
        BootstrapSettings settings;
        settings.replicates = 200;
        const std::optional<BootstrapResult> result = ComputeBootstrap(InputOf(values), settings);
        QVERIFY(result);
        bool someFailed = false;
        for (const ModelBootstrap& row : result->models) {
            if (row.fitted > 0 && row.fitted < 180) {
                someFailed = true;
                QCOMPARE(row.problem,
                         QStringLiteral("再標本 200 個のうち %1 個で当てはめられません")
                             .arg(200 - row.fitted));
            }
            if (row.fitted >= 180)
                QVERIFY(row.hasFigures());
        }
        QVERIFY(someFailed);
    }

    // By the bootstrap error the selection takes the passing model with the least S_B of the
    // target, and none before the bootstrap is there.
    void selectionByBootstrap() {
        AppState state = AnalysedState(ThirtyYears());
        Study& study = state.study;
        SelectBy(study, SelectionRule::Bootstrap);
        QVERIFY(!study.models.selected);
        BootstrapSettings settings;
        settings.replicates = 200;
        AdoptBootstrap(study, *ComputeBootstrap(BootstrapInputOf(study), settings));
        QVERIFY(study.models.selected);
        const double chosen =
            *study.bootstrap->model(*study.models.selected).targetError(study.settings.target);
        for (size_t m = 0; m < kModelCount; ++m) {
            const std::optional<double> error =
                study.bootstrap->models[m].targetError(study.settings.target);
            if (study.models.models[m].passes && error)
                QVERIFY(chosen <= *error);
        }
        SelectBy(study, SelectionRule::Jackknife);
        QCOMPARE(study.models.selected, StudyModels(state).selected);
    }
};

QTEST_GUILESS_MAIN(TestBootstrap)
#include "test_bootstrap.moc"
