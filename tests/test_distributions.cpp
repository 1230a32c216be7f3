#include "chart/modelcurves.h"
#include "formats/datafile.h"
#include "formats/deviatetable.h"
#include "nearequal.h"
#include "state/loading.h"
#include "states.h"
#include "statistics/dataerror.h"
#include "statistics/distributioncomparison.h"
#include "statistics/distributionfits.h"
#include "statistics/mathfunctions.h"
#include "statistics/series.h"
#include "statistics/study.h"

#include <QTest>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <random>

using Values = QList<double>;

namespace {

// Hosking's eleven-value example of his L-moment routines.
const Values kHosking{2.0, 3.0, 4.0, 2.4, 5.5, 1.2, 5.4, 2.2, 7.1, 1.3, 1.5};
// A 31-value annual series with a published Gumbel fit by L-moments.
const Values kThirtyOne{1953, 1939, 1677, 1692, 2051, 2371, 2022, 1521, 1448, 1825, 1363,
                        1760, 1672, 1603, 1244, 1521, 1783, 1560, 1357, 1673, 1625, 1425,
                        1688, 1577, 1736, 1640, 1584, 1293, 1277, 1742, 1491};
// Harricana River at Amos, 69 annual maxima in m³/s (Bobée and Ashkar 1991, table 1.2), as a
// public verification data set of flood-frequency software lists them.
const Values kHarricana{122, 244, 214,  173, 229, 156, 212,  263, 146, 183, 161, 205, 135, 331,
                        225, 174, 98.8, 149, 238, 262, 132,  235, 216, 240, 230, 192, 195, 172,
                        173, 172, 153,  142, 317, 161, 201,  204, 194, 164, 183, 161, 167, 179,
                        185, 117, 192,  337, 125, 166, 99.1, 202, 230, 158, 262, 154, 164, 182,
                        164, 183, 171,  250, 184, 205, 237,  177, 239, 187, 180, 173, 174};

std::vector<double> Sorted(const Values& values) {
    std::vector<double> sorted(values.begin(), values.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

FittedModel Fit(ModelId id, const Values& values) {
    const std::vector<double> sorted = Sorted(values);
    return FitModel(id, sorted);
}

double Parameter(const FittedModel& model, const char* name) {
    for (const ModelParameter& p : model.parameters())
        if (qstrcmp(p.name, name) == 0)
            return p.value;
    qFatal("no parameter %s", name);
}

// Within a relative tolerance, printing both on failure.
#define COMPARE_RELATIVE(actual, expected, relative)                                               \
    QUORVEL_COMPARE_NEAR(actual, expected, std::fabs(expected) * (relative))

AppState SampleFile(const char* name, double alpha = 0.5) {
    AppState state;
    state.startDirectory = QStringLiteral(QUORVEL_SOURCE_DIR "/data");
    LoadDeviateTable(state);
    state.settings.alpha = alpha;
    state.dataFileName = QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/") + QLatin1String(name);
    LoadDataFile(state);
    return state;
}

struct Published {
    const char* name;
    double value;
};

// A model with the parameters given, in the order of its parameter names.
FittedModel Model(ModelId id, const Values& p) {
    std::array<double, 4> parameters{};
    std::copy(p.begin(), p.end(), parameters.begin());
    return FittedModel::make(id, parameters);
}

} // namespace

Q_DECLARE_METATYPE(ModelId)

class TestDistributions : public QObject {
    Q_OBJECT
private slots:
    // Hosking's own figures, and those of the 31 values worked by hand from b0, b1 and b2: the
    // L-moment fits below rest on them (exp's α = 2λ2 = 276.4731, ξ = λ1 − α = 1372.333).
    void sampleLMoments_data() {
        QTest::addColumn<Values>("values");
        QTest::addColumn<double>("l1");
        QTest::addColumn<double>("l2");
        QTest::addColumn<double>("t3");
        QTest::newRow("Hosking") << kHosking << 3.23636364 << 1.14181818 << 0.27388535;
        QTest::newRow("31 values") << kThirtyOne << 1648.8064516 << 138.2365591 << 0.10339034;
    }
    void sampleLMoments() {
        QFETCH(Values, values);
        QFETCH(double, l1);
        QFETCH(double, l2);
        QFETCH(double, t3);
        const LMoments l = SampleLMoments(Sorted(values));
        COMPARE_RELATIVE(l.l1, l1, 1e-8);
        COMPARE_RELATIVE(l.l2, l2, 1e-8);
        COMPARE_RELATIVE(l.t3, t3, 1e-7);
    }

    // Published parameters and quantiles x(0.2), x(0.5), x(0.8), each to the digits given.
    void publishedFits_data() {
        QTest::addColumn<ModelId>("id");
        QTest::addColumn<Values>("values");
        QTest::addColumn<QList<Published>>("parameters");
        QTest::addColumn<Values>("quantiles");
        QTest::addColumn<double>("relative");
        QTest::newRow("exp, Hosking")
            << ModelId::Exp << kHosking << QList<Published>{{"xi", 0.9527273}, {"alpha", 2.2836364}}
            << Values{1.462306, 2.535623, 4.628098} << 1e-6;
        QTest::newRow("gumbel, Hosking") << ModelId::Gumbel << kHosking
                                         << QList<Published>{{"xi", 2.285519}, {"alpha", 1.647295}}
                                         << Values{1.501596, 2.889274, 4.756363} << 1e-6;
        QTest::newRow("gev, Hosking")
            << ModelId::Gev << kHosking
            << QList<Published>{{"xi", 2.1792884}, {"alpha", 1.3956404}, {"k", -0.1555609}}
            << Values{1.539112, 2.705672, 4.537048} << 1e-6;
        QTest::newRow("ln3_lm, Hosking")
            << ModelId::Ln3Lm << kHosking
            << QList<Published>{{"xi", 2.6888917}, {"alpha", 1.7664322}, {"k", -0.5707506}}
            << Values{1.508372, 2.688892, 4.597378} << 1e-6;
        QTest::newRow("gumbel, 31 values")
            << ModelId::Gumbel << kThirtyOne
            << QList<Published>{{"xi", 1533.69}, {"alpha", 199.4332}} << Values{} << 5e-6;
        QTest::newRow("exp, 31 values")
            << ModelId::Exp << kThirtyOne << QList<Published>{{"xi", 1372.333}, {"alpha", 276.4731}}
            << Values{} << 5e-7;
        // k is the root of the τ3 equation; Hosking's start value for it is 0.1068473.
        QTest::newRow("gev, 31 values")
            << ModelId::Gev << kThirtyOne
            << QList<Published>{{"xi", 1543.881}, {"alpha", 218.0281}, {"k", 0.1063218}} << Values{}
            << 1e-6;
        QTest::newRow("lp3, Harricana")
            << ModelId::Lp3 << kHarricana
            << QList<Published>{{"mean", 2.26878}, {"sd", 0.10699}, {"skew", -0.04061}} << Values{}
            << 5e-4;
    }
    void publishedFits() {
        QFETCH(ModelId, id);
        QFETCH(Values, values);
        QFETCH(QList<Published>, parameters);
        QFETCH(Values, quantiles);
        QFETCH(double, relative);
        const FittedModel model = Fit(id, values);
        QVERIFY2(model.applicable(), qPrintable(model.problem()));
        QCOMPARE(model.parameters().size(), size_t(parameters.size()));
        for (const Published& p : parameters)
            COMPARE_RELATIVE(Parameter(model, p.name), p.value, relative);
        const double F[] = {0.2, 0.5, 0.8};
        for (qsizetype i = 0; i < quantiles.size(); ++i)
            COMPARE_RELATIVE(model.quantile(F[i]).value(), quantiles[i], relative);
    }

    // Cases worked by hand; x(0.5) is where Φ⁻¹ is exactly 0.
    void handWorkedFits() {
        // ln2_pm: ln x = 1, 2, 3 has mean 2 and standard deviation 1.
        const FittedModel pm = Fit(ModelId::Ln2Pm, {std::exp(1.0), std::exp(2.0), std::exp(3.0)});
        QUORVEL_COMPARE_NEAR(Parameter(pm, "mu"), 2, 1e-15);
        QUORVEL_COMPARE_NEAR(Parameter(pm, "sigma"), 1, 1e-15);
        QUORVEL_COMPARE_NEAR(pm.standardVariable(std::exp(3.0)).value(), 1, 1e-15);

        // ln2_lm: 1, 2, 3, 4 have λ1 = 5/2 and λ2 = 5/6. The log-normal's λ1 = e^(μ + σ²/2) and
        // λ2 = λ1·erf(σ/2) then give σ with erf(σ/2) = 1/3.
        const FittedModel lm = Fit(ModelId::Ln2Lm, {4, 2, 3, 1});
        const double sigma = Parameter(lm, "sigma");
        QUORVEL_COMPARE_NEAR(std::erf(sigma / 2), 1.0 / 3, 1e-15);
        QUORVEL_COMPARE_NEAR(std::exp(Parameter(lm, "mu") + sigma * sigma / 2), 2.5, 1e-14);

        // ln3_iwai: 1, 8, 27 have the geometric mean 6; one pair (27, 1) gives
        // b = (27 − 36)/(12 − 28) = 9/16, then log10(x + 9/16) has its mean and deviation.
        const FittedModel iwai = Fit(ModelId::Ln3Iwai, {27, 1, 8});
        QUORVEL_COMPARE_NEAR(Parameter(iwai, "b"), 9.0 / 16, 1e-14);
        const double y[] = {std::log10(1 + 9.0 / 16), std::log10(8 + 9.0 / 16),
                            std::log10(27 + 9.0 / 16)};
        const double mean = (y[0] + y[1] + y[2]) / 3;
        const double sd = std::sqrt(((y[0] - mean) * (y[0] - mean) + (y[1] - mean) * (y[1] - mean) +
                                     (y[2] - mean) * (y[2] - mean)) /
                                    2);
        QUORVEL_COMPARE_NEAR(Parameter(iwai, "mean"), mean, 1e-14);
        QUORVEL_COMPARE_NEAR(Parameter(iwai, "sd"), sd, 1e-14);
        QUORVEL_COMPARE_NEAR(iwai.quantile(0.5).value(), std::pow(10.0, mean) - 9.0 / 16, 1e-12);

        // ln3_q: 1, 2, 3, 5, 10 have the median 3: ζ = (10 − 9)/(11 − 6) = 0.2, and ln(x − 0.2)
        // of the median is the model's median.
        const FittedModel q = Fit(ModelId::Ln3Q, {5, 1, 10, 3, 2});
        QUORVEL_COMPARE_NEAR(Parameter(q, "zeta"), 0.2, 1e-15);
        double logSum = 0;
        for (double v : {1.0, 2.0, 3.0, 5.0, 10.0})
            logSum += std::log(v - 0.2);
        QUORVEL_COMPARE_NEAR(Parameter(q, "mu"), logSum / 5, 1e-15);
        QUORVEL_COMPARE_NEAR(q.quantile(0.5).value(), 0.2 + std::exp(logSum / 5), 1e-13);
    }

    // F(x(F)) = F over the whole range of F, and x(F(x)) = x at points across the body of the
    // distribution, for two or more parameter sets of each model (both signs of a skew or shape).
    void roundTrip_data() {
        QTest::addColumn<ModelId>("id");
        QTest::addColumn<Values>("parameters");
        QTest::addColumn<double>("relative");
        auto row = [](const char* name, ModelId id, const Values& p, double relative = 1e-9) {
            QTest::newRow(name) << id << p << relative;
        };
        row("ln2_paper, steep", ModelId::Ln2Paper, {2.5, 0.2});
        row("ln2_paper, shallow", ModelId::Ln2Paper, {1.0, 0.45});
        row("ln2_pm, narrow", ModelId::Ln2Pm, {7.2, 0.3});
        row("ln2_pm, wide", ModelId::Ln2Pm, {0.5, 1.2});
        row("ln2_lm, wide", ModelId::Ln2Lm, {5.0, 0.6});
        row("ln2_lm, below 1", ModelId::Ln2Lm, {-1.0, 0.1});
        row("ln3_iwai, bound below 0", ModelId::Ln3Iwai, {50, 2.8, 0.15});
        row("ln3_iwai, bound above 0", ModelId::Ln3Iwai, {-120, 2.5, 0.3});
        row("ln3_q, bound above 0", ModelId::Ln3Q, {100, 6, 0.4});
        row("ln3_q, bound below 0", ModelId::Ln3Q, {-300, 7, 0.2});
        row("ln3_lm, k < 0", ModelId::Ln3Lm, {2.6888917, 1.7664322, -0.5707506});
        row("ln3_lm, k > 0", ModelId::Ln3Lm, {100, 20, 0.3});
        row("ln3_lm, k = 0", ModelId::Ln3Lm, {100, 20, 0});
        // The gamma quantile is computed to eleven digits only.
        row("lp3, g > 0", ModelId::Lp3, {2.3, 0.12, 0.6}, 1e-7);
        row("lp3, g < 0", ModelId::Lp3, {3.0, 0.2, -0.8}, 1e-7);
        row("lp3, Harricana's small g < 0", ModelId::Lp3, {2.26878, 0.10699, -0.04061}, 1e-7);
        row("lp3, g as good as 0", ModelId::Lp3, {2.0, 0.1, 1e-8});
        row("exp, Hosking", ModelId::Exp, {0.9527273, 2.2836364});
        row("exp, below 0", ModelId::Exp, {-50, 300});
        row("gumbel, 31 values", ModelId::Gumbel, {1533.69, 199.4332});
        row("gumbel, below 0", ModelId::Gumbel, {-2, 0.5});
        // a > 14 keeps F = 10⁻⁶ above the atom e^−a at zero.
        row("sqrtet, large a", ModelId::Sqrtet, {30, 0.01});
        row("sqrtet, small a", ModelId::Sqrtet, {15, 2});
        row("gev, k < 0", ModelId::Gev, {2.1792884, 1.3956404, -0.1555609});
        row("gev, k > 0", ModelId::Gev, {10, 2, 0.45});
        row("gev, k = 0", ModelId::Gev, {10, 2, 0});
    }
    void roundTrip() {
        QFETCH(ModelId, id);
        QFETCH(Values, parameters);
        QFETCH(double, relative);
        const FittedModel model = Model(id, parameters);
        for (double F : {1e-6, 0.001, 0.01, 0.1, 0.5, 0.9, 0.99, 0.999, 1 - 1e-6}) {
            const double x = model.quantile(F).value();
            // Relative to the tail's probability, where a tail is all there is.
            QUORVEL_COMPARE_NEAR(model.cdf(x).value(), F, relative * std::min(F, 1 - F));
        }
        const double lo = model.quantile(0.001).value();
        const double hi = model.quantile(0.999).value();
        for (int i = 0; i <= 8; ++i) {
            const double x = lo + (hi - lo) * i / 8;
            const double F = model.cdf(x).value();
            QVERIFY(F > 0 && F < 1);
            QUORVEL_COMPARE_NEAR(model.quantile(F).value(), x,
                                 relative * std::max(std::fabs(x), hi - lo));
        }
    }

    // F is 0 below the support and 1 above it, for every finite x; nothing for an infinite one.
    void cdfOutsideSupport_data() {
        QTest::addColumn<ModelId>("id");
        QTest::addColumn<Values>("parameters");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("F");
        auto row = [](const char* name, ModelId id, const Values& p, double x, double F) {
            QTest::newRow(name) << id << p << x << F;
        };
        row("ln2_paper at 0", ModelId::Ln2Paper, {2.5, 0.2}, 0, 0);
        row("ln2_pm below 0", ModelId::Ln2Pm, {1, 0.5}, -3, 0);
        row("ln2_lm at 0", ModelId::Ln2Lm, {1, 0.5}, 0, 0);
        row("ln3_iwai at its bound −b", ModelId::Ln3Iwai, {50, 2.8, 0.15}, -50, 0);
        row("ln3_iwai below its bound", ModelId::Ln3Iwai, {-120, 2.5, 0.3}, 100, 0);
        row("ln3_q below ζ", ModelId::Ln3Q, {100, 6, 0.4}, 99, 0);
        row("ln3_lm, k < 0, below ξ − α/|k|", ModelId::Ln3Lm, {100, 20, -0.5}, 59, 0);
        row("ln3_lm, k > 0, above ξ + α/k", ModelId::Ln3Lm, {100, 20, 0.5}, 141, 1);
        row("ln3_lm, k > 0, at ξ + α/k", ModelId::Ln3Lm, {100, 20, 0.5}, 140, 1);
        row("lp3, g > 0, at 0", ModelId::Lp3, {2.3, 0.12, 0.6}, 0, 0);
        // c = 2.3 − 2·0.12/0.6 = 1.9: below 10^1.9.
        row("lp3, g > 0, below 10^c", ModelId::Lp3, {2.3, 0.12, 0.6}, 79, 0);
        // c = 3 + 2·0.2/0.8 = 3.5: above 10^3.5.
        row("lp3, g < 0, above 10^c", ModelId::Lp3, {3.0, 0.2, -0.8}, 3163, 1);
        row("lp3, g < 0, at 0", ModelId::Lp3, {3.0, 0.2, -0.8}, 0, 0);
        row("lp3, g as good as 0, below 0", ModelId::Lp3, {2.0, 0.1, 1e-8}, -1, 0);
        row("exp below ξ", ModelId::Exp, {-50, 300}, -51, 0);
        row("exp at ξ", ModelId::Exp, {-50, 300}, -50, 0);
        row("gumbel far below ξ", ModelId::Gumbel, {1533.69, 199.4332}, -1e6, 0);
        row("gumbel far above ξ", ModelId::Gumbel, {1533.69, 199.4332}, 1e6, 1);
        row("sqrtet below 0", ModelId::Sqrtet, {30, 0.01}, -1, 0);
        row("sqrtet at 0: the atom e^−a", ModelId::Sqrtet, {3, 0.01}, 0, std::exp(-3.0));
        row("gev, k < 0, below ξ + α/k", ModelId::Gev, {10, 2, -0.2}, -0.5, 0);
        row("gev, k > 0, above ξ + α/k", ModelId::Gev, {10, 2, 0.45}, 15, 1);
        row("gev, k = 0, far above ξ", ModelId::Gev, {10, 2, 0}, 1e4, 1);
    }
    void cdfOutsideSupport() {
        QFETCH(ModelId, id);
        QFETCH(Values, parameters);
        QFETCH(double, x);
        QFETCH(double, F);
        const FittedModel model = Model(id, parameters);
        QCOMPARE(model.cdf(x).value(), F);
        QVERIFY(!model.cdf(std::numeric_limits<double>::infinity()));
        QVERIFY(!model.cdf(std::numeric_limits<double>::quiet_NaN()));
    }

    // The line fitted to a sample at the exact normal quantiles of its plotting positions: five
    // values, whose deviates ±z1, ±z2, 0 make the slope (z1(y5 − y1) + z2(y4 − y2))/(2z1² + 2z2²).
    void paperLineOfSample_data() {
        QTest::addColumn<double>("alpha");
        QTest::addColumn<double>("z1"); // −Φ⁻¹((1 − α)/(6 − 2α))
        QTest::addColumn<double>("z2"); // −Φ⁻¹((2 − α)/(6 − 2α))
        QTest::newRow("α = 0.5") << 0.5 << 1.2815515655446008 << 0.5244005127080407;
        QTest::newRow("Cunnane, α = 0.4") << 0.4 << 1.1983797023069247 << 0.5024022233733554;
    }
    void paperLineOfSample() {
        QFETCH(double, alpha);
        QFETCH(double, z1);
        QFETCH(double, z2);
        const std::vector<double> sorted{10, 20, 50, 100, 1000};
        const double y[] = {1, std::log10(20.0), std::log10(50.0), 2, 3};
        const double mean = (y[0] + y[1] + y[2] + y[3] + y[4]) / 5;
        const double slope =
            (z1 * (y[4] - y[0]) + z2 * (y[3] - y[1])) / (2 * z1 * z1 + 2 * z2 * z2);
        const SampleArrays arrays(sorted, alpha);
        const FittedModel line = FitSample(ModelId::Ln2Paper, arrays.of(sorted), alpha);
        QVERIFY2(line.applicable(), qPrintable(line.problem()));
        COMPARE_RELATIVE(Parameter(line, "log_mean"), mean, 1e-15);
        COMPARE_RELATIVE(Parameter(line, "slope"), slope, 1e-14);
        COMPARE_RELATIVE(line.quantile(0.5).value(), std::pow(10.0, mean), 1e-14);
        // Equal values have no line at all.
        const std::vector<double> flat{5, 5, 5};
        QCOMPARE(FitModel(ModelId::Ln2Paper, flat).problem(), NoSpreadText());
    }

    // Fits that must refuse, each with a reason.
    void notApplicable_data() {
        QTest::addColumn<ModelId>("id");
        QTest::addColumn<Values>("values");
        QTest::newRow("ln3_q: 1 + 6 − 2·5 is not positive") << ModelId::Ln3Q << Values{1, 5, 6};
        QTest::newRow("ln3_q: equal extremes about the median") << ModelId::Ln3Q << Values{1, 2, 3};
        // Lake levels near 580 varying by ±1: the likelihood rises to the end of b's range.
        QTest::newRow("sqrtet: lake levels")
            << ModelId::Sqrtet
            << Values{579.2, 580.4, 580.9, 579.8, 580.1, 579.5, 580.7, 579.9, 580.3, 580.0};
        QTest::newRow("gev: two values") << ModelId::Gev << Values{1, 2};
        // All but the largest equal: τ3 is 1, whatever its rounding; the fit would give an SLSC
        // of 10¹³ from a scale of rounding.
        QTest::newRow("gev: ties below the largest")
            << ModelId::Gev << Values{1591.9, 1591.9, 1591.9, 3182.9};
        QTest::newRow("gev: 200 ties below the largest")
            << ModelId::Gev << [] {
                   Values v(200, 55.5);
                   v.push_back(70);
                   return v;
               }();
        QTest::newRow("lp3: all equal") << ModelId::Lp3 << Values{5, 5, 5, 5};
        QTest::newRow("ln3_lm: |τ3| ≥ 0.95")
            << ModelId::Ln3Lm << Values{1, 1, 1, 1, 1, 1, 1, 1, 1, 1e6};
        QTest::newRow("ln3_iwai: bound above the smallest value")
            << ModelId::Ln3Iwai << Values{1, 100, 100, 100, 100, 100, 100, 100, 100, 101};
        QTest::newRow("ln2_paper: one value") << ModelId::Ln2Paper << Values{7};
        QTest::newRow("ln2_paper: no spread") << ModelId::Ln2Paper << Values{5, 5, 5};
    }
    void notApplicable() {
        QFETCH(ModelId, id);
        QFETCH(Values, values);
        const FittedModel model = Fit(id, values);
        QVERIFY(!model.applicable());
        QVERIFY(!model.problem().isEmpty());
        QVERIFY(model.parameters().empty());
        QVERIFY(!model.quantile(0.5));
        QVERIFY(!model.cdf(1));
    }

    // A series without spread has no line and no fit at any magnitude: the analysis, the page
    // line's measures and every model refuse it with the one message, also where the rounding
    // of a mean or of the L-moments would leave a spread of a few units in the last place.
    void noSpreadRefusedEverywhere_data() {
        QTest::addColumn<Values>("values");
        QTest::newRow("7 × 1591.9") << Values(7, 1591.9);
        QTest::newRow("20 × 7") << Values(20, 7);
        QTest::newRow("147 × 55.5") << Values(147, 55.5);
        QTest::newRow("10 × 100") << Values(10, 100);
        Values ulps(9, 1591.9);
        ulps << std::nextafter(std::nextafter(1591.9, 2000.0), 2000.0);
        QTest::newRow("two units in the last place apart") << ulps;
    }
    void noSpreadRefusedEverywhere() {
        QFETCH(Values, values);
        const QString noSpread = NoSpreadText();
        for (const ModelId id : kModels) {
            const FittedModel model = Fit(id, values);
            QVERIFY2(!model.applicable(), ModelKey(id));
            QCOMPARE(model.problem(), noSpread);
        }
        SeriesData series;
        series.recordCount = int32_t(values.size());
        for (qsizetype i = 0; i < values.size(); ++i) {
            series.years[size_t(i)] = int32_t(1950 + i);
            series.values[size_t(i)] = values[i];
        }
        try {
            ComputeStudy(series, {}, RealDeviateTable());
            QFAIL("a series without spread was analysed");
        } catch (const DataError& error) {
            QCOMPARE(error.message(), noSpread);
        }
        // Asked directly, the page line's measures and the comparison have no figure either.
        const std::vector<double> sorted = Sorted(values);
        const SampleArrays arrays(sorted, 0.5);
        FitMeasures paper = ComputeLineMeasures(series, AnalysisResult{}, RealDeviateTable(), 0.5);
        JackknifeLine(series, arrays.of(sorted), 0.5, paper);
        QCOMPARE(paper.lineProblem, noSpread);
        QCOMPARE(paper.errorProblem, noSpread);
        QVERIFY(!paper.slsc && !paper.xCor && !paper.correlation);
        const DistributionComparison c = CompareDistributions(paper, arrays.of(sorted), 0.5);
        QVERIFY(!c.selected);
        for (const ModelComparison& row : c.models) {
            QVERIFY2(!row.applicable() && !row.slsc && !row.passes, ModelKey(row.model.id()));
            QCOMPARE(row.model.problem(), noSpread);
        }
    }

    // A spread far below any measurement's but above the rounding is a spread.
    void smallSpreadIsFitted() {
        const Values values{1000, 1000.000001, 1000.000002, 1000.000003, 1000.000004};
        QVERIFY(HasSpread(std::vector<double>(values.begin(), values.end())));
        QVERIFY(Fit(ModelId::Ln2Pm, values).applicable());
    }

    // The SQRT-ET fit is where the profile likelihood's derivative vanishes, and the likelihood
    // falls on either side of it.
    void sqrtetMaximum_data() {
        QTest::addColumn<Values>("values");
        QTest::newRow("Hosking") << kHosking;
        QTest::newRow("31 values") << kThirtyOne;
        QTest::newRow("Harricana") << kHarricana;
    }
    void sqrtetMaximum() {
        QFETCH(Values, values);
        const std::vector<double> sorted = Sorted(values);
        const FittedModel model = FitSqrtet(sorted);
        QVERIFY2(model.applicable(), qPrintable(model.problem()));
        const double b = Parameter(model, "b");
        const double a = Parameter(model, "a");
        // The derivative's terms are of the order of N: relative to them it is zero.
        QUORVEL_COMPARE_NEAR(SqrtetProfileSlope(sorted, b) / sorted.size(), 0, 1e-8);
        const double at = SqrtetProfileLogLikelihood(sorted, b);
        QVERIFY(SqrtetProfileLogLikelihood(sorted, b * 1.001) < at);
        QVERIFY(SqrtetProfileLogLikelihood(sorted, b * 0.999) < at);
        double s = 0;
        for (double x : sorted)
            s += (1 + std::sqrt(b * x)) * std::exp(-std::sqrt(b * x));
        COMPARE_RELATIVE(a, sorted.size() / s, 1e-13);
        // x(F) inverts F(x) = exp(−a(1 + √(bx))e^−√(bx)).
        for (double F : {0.1, 0.5, 0.99}) {
            const double x = model.quantile(F).value();
            const double t = std::sqrt(b * x);
            COMPARE_RELATIVE(std::exp(-a * (1 + t) * std::exp(-t)), F, 1e-12);
        }
    }

    // The leave-one-out fits climb from the whole series' b; they must land where the full scan
    // of each leave-one-out series lands.
    void sqrtetClimbEqualsScan_data() {
        QTest::addColumn<Values>("values");
        QTest::newRow("31 values") << kThirtyOne;
        QTest::newRow("Harricana") << kHarricana;
        std::mt19937 random(17);
        std::lognormal_distribution<double> rain(7, 0.3);
        Values long_;
        for (int i = 0; i < 257; ++i)
            long_ << rain(random);
        QTest::newRow("257 log-normal values") << long_;
    }
    void sqrtetClimbEqualsScan() {
        QFETCH(Values, values);
        const std::vector<double> sorted = Sorted(values);
        const double b = Parameter(FitSqrtet(sorted), "b");
        for (size_t j = 0; j < sorted.size(); ++j) {
            std::vector<double> others = sorted;
            others.erase(others.begin() + static_cast<std::ptrdiff_t>(j));
            const FittedModel scanned = FitSqrtet(others);
            const FittedModel climbed = FitSqrtet(others, b);
            for (const char* name : {"a", "b"})
                COMPARE_RELATIVE(Parameter(climbed, name), Parameter(scanned, name), 1e-10);
        }
    }

    // The SLSCs the design quotes for the program's own samples, at three decimals.
    void sampleSlsc_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<ModelId>("id");
        QTest::addColumn<double>("slsc");
        QTest::newRow("30 years, ln2_paper") << "precip_30y.csv" << ModelId::Ln2Paper << 0.044;
        QTest::newRow("30 years, ln3_lm") << "precip_30y.csv" << ModelId::Ln3Lm << 0.036;
        QTest::newRow("30 years, lp3") << "precip_30y.csv" << ModelId::Lp3 << 0.037;
        QTest::newRow("30 years, gev") << "precip_30y.csv" << ModelId::Gev << 0.039;
        QTest::newRow("100 years, ln2_paper") << "precip_100y.csv" << ModelId::Ln2Paper << 0.034;
    }
    void sampleSlsc() {
        QFETCH(QString, file);
        QFETCH(ModelId, id);
        QFETCH(double, slsc);
        const AppState state = SampleFile(qPrintable(file));
        const DistributionComparison c = StudyModels(state);
        const ModelComparison& row = c.model(id);
        QVERIFY2(row.applicable(), qPrintable(row.model.problem()));
        QUORVEL_COMPARE_NEAR(*row.slsc, slsc, 0.0005);
        QCOMPARE(row.passes, *row.slsc <= 0.04);
    }

    // The page's line in the comparison is the results window's own row, and its 1-in-10 and
    // 1-in-100 values are the printed page's.
    void paperRowIsTheAnalysis() {
        const AppState state = SampleFile("precip_30y.csv");
        const FitMeasures& fit = state.study.paper;
        const DistributionComparison c = StudyModels(state);
        const ModelComparison& paper = c.model(ModelId::Ln2Paper);
        QCOMPARE(*paper.slsc, *fit.slsc);
        const DryWetValues page = ComputeDryWetValues(state);
        QCOMPARE(paper.period(10)->dry, page.dry10);
        QCOMPARE(paper.period(100)->wet, page.wet100);
        QCOMPARE(paper.period(100)->wetError, fit.periods[8].wetError);
        QCOMPARE(Parameter(paper.model, "slope"), state.study.analysis.slope);
        // T = 80 and 150 at their own probabilities, not at the table's nearest thousandth.
        const double wet80 =
            std::pow(10.0, state.study.analysis.logMean +
                               state.study.analysis.slope * StandardNormalQuantile(1 - 1.0 / 80));
        COMPARE_RELATIVE(paper.period(80)->wet, wet80, 1e-14);
        QUORVEL_COMPARE_NEAR(paper.period(80)->wet, 2158.5, 0.05);
        const double dry150 =
            std::pow(10.0, state.study.analysis.logMean +
                               state.study.analysis.slope * StandardNormalQuantile(1.0 / 150));
        COMPARE_RELATIVE(paper.period(150)->dry, dry150, 1e-14);
    }

    // Every figure of every model on a set of series: a number or nothing, never NaN, and the
    // jackknife estimate beside each error.
    void everyFigureFiniteOrMissing_data() {
        QTest::addColumn<Values>("values");
        QTest::newRow("three records") << Values{10, 100, 10000};
        QTest::newRow("four equal and one") << Values{50, 50, 50, 50, 100};
        QTest::newRow("lake levels") << Values{579.2, 580.4, 580.9, 579.8, 580.1, 579.5};
        QTest::newRow("huge spread") << Values{1e-100, 1, 1e100, 5, 7};
        // The page's line is so steep that its 1-in-200 wet value passes the largest double.
        QTest::newRow("line past the largest double") << Values{1797.69313486, 1.2e6, 1e-300};
        QTest::newRow("Harricana") << kHarricana;
    }
    void everyFigureFiniteOrMissing() {
        QFETCH(Values, values);
        const DistributionComparison c = StudyModels(AnalysedState(values), Target::Dry10);
        for (const ModelComparison& row : c.models) {
            // Every row names its periods, a refused one too.
            for (size_t k = 0; k < row.periods.size(); ++k)
                QCOMPARE(row.periods[k].period, kReturnPeriods[k]);
            if (!row.applicable()) {
                QVERIFY(!row.model.problem().isEmpty());
                QVERIFY(!row.slsc && !row.passes && !row.selected);
                continue;
            }
            QVERIFY(std::isfinite(*row.slsc) && std::isfinite(*row.xCor));
            for (const ModelParameter& p : row.model.parameters())
                QVERIFY(std::isfinite(p.value));
            for (const ReturnPeriodValues& p : row.periods) {
                QVERIFY(std::isfinite(p.dry) && std::isfinite(p.wet));
                QCOMPARE(p.dryError.has_value(), row.jackknifeProblem.isEmpty());
                QCOMPARE(p.dryJackknife.has_value(), p.dryError.has_value());
                for (const auto& figure : {p.dryJackknife, p.wetJackknife, p.dryError, p.wetError})
                    QVERIFY(!figure || std::isfinite(*figure));
            }
        }
    }

    // The charts draw a curve for exactly the models the comparison's table accepts.
    void curvesOnlyForAcceptedModels_data() {
        QTest::addColumn<Values>("values");
        QTest::newRow("lake levels") << Values{579.2, 580.4, 580.9, 579.8, 580.1, 579.5};
        QTest::newRow("line past the largest double") << Values{1797.69313486, 1.2e6, 1e-300};
        QTest::newRow("Harricana") << kHarricana;
    }
    void curvesOnlyForAcceptedModels() {
        QFETCH(Values, values);
        AppState state = AnalysedState(values);
        state.compared.show = true;
        state.compared.models.assign(kModels.begin(), kModels.end());
        state.compared.chosen = true;
        QList<ModelId> drawn;
        for (const ModelComparison* row : ShownCurveModels(state))
            drawn << row->model.id();
        QList<ModelId> accepted;
        for (const ModelComparison& row : StudyModels(state).models)
            if (row.applicable())
                accepted << row.model.id();
        QCOMPARE(drawn, accepted);
    }

    // Three records: the models three values allow, and no jackknife where two values cannot
    // be fitted.
    void threeRecords() {
        const DistributionComparison c = StudyModels(AnalysedState({120, 150, 300}));
        for (const ModelComparison& row : c.models)
            QVERIFY2(row.applicable() || row.model.id() == ModelId::Ln3Q ||
                         row.model.id() == ModelId::Ln3Iwai,
                     ModelKey(row.model.id()));
        QVERIFY(c.model(ModelId::Ln2Pm).jackknifeProblem.isEmpty());
        QVERIFY(c.model(ModelId::Sqrtet).jackknifeProblem.isEmpty());
        QVERIFY(!c.model(ModelId::Gev).jackknifeProblem.isEmpty());
        QVERIFY(!c.model(ModelId::Gev).period(10)->wetError);
    }

    // The models are spread over the cores; each lands in its own row, so one thread or several
    // give the same figures to the last bit.
    void sameFiguresOnAnyNumberOfThreads() {
        const AppState state = SampleFile("precip_100y.csv");
        QThreadPool* pool = QThreadPool::globalInstance();
        const int threads = pool->maxThreadCount();
        auto study = [&](int count) {
            pool->setMaxThreadCount(count);
            return ComputeStudy(state.study.series, state.study.settings, state.deviateTable);
        };
        const Study one = study(1);
        const Study four = study(4);
        pool->setMaxThreadCount(threads);
        for (size_t i = 0; i < kModelCount; ++i) {
            const ModelComparison& a = one.models.models[i];
            const ModelComparison& b = four.models.models[i];
            QCOMPARE(a.slsc, b.slsc);
            QCOMPARE(a.jackknifeProblem, b.jackknifeProblem);
            QCOMPARE(a.curve.size(), b.curve.size());
            for (size_t k = 0; k < kPeriodCount; ++k) {
                QCOMPARE(a.periods[k].wet, b.periods[k].wet);
                QCOMPARE(a.periods[k].dryJackknife, b.periods[k].dryJackknife);
                QCOMPARE(a.periods[k].wetError, b.periods[k].wetError);
            }
        }
        QCOMPARE(one.models.selected, four.models.selected);
    }

    // The selection takes the passing model with the smallest error of the target.
    void selection_data() {
        QTest::addColumn<int>("target");
        for (Target t : kTargets)
            QTest::newRow(TargetKey(t)) << static_cast<int>(t);
    }
    void selection() {
        QFETCH(int, target);
        const Target t = static_cast<Target>(target);
        const DistributionComparison c = StudyModels(SampleFile("precip_100y.csv"), t);
        QCOMPARE(c.target, t);
        std::optional<ModelId> best;
        double smallest = 0;
        int selected = 0;
        for (const ModelComparison& row : c.models) {
            selected += row.selected;
            if (row.passes && row.targetError(t) && (!best || *row.targetError(t) < smallest)) {
                best = row.model.id();
                smallest = *row.targetError(t);
            }
        }
        QVERIFY(best);
        QCOMPARE(c.selected, best);
        QCOMPARE(selected, 1);
        QVERIFY(c.model(*best).selected);
        QCOMPARE(TargetFromKey(QString::fromLatin1(TargetKey(t))), t);
    }

    void targetLabels() {
        QCOMPARE(TargetLabel(Target::Dry10), QStringLiteral("1/10 渇水年"));
        QCOMPARE(TargetLabel(Target::Wet100), QStringLiteral("1/100 豊水年"));
        QCOMPARE(TargetFromKey(u"wet1000"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestDistributions)
#include "test_distributions.moc"
