// The data file as the open command takes it: read, analysed, every candidate distribution
// fitted and compared, then drawn on screen and on paper in every analysis mode on every scale
// the menus offer, and once more with every model's curve.

#include "chart/screenchart.h"
#include "formats/datafile.h"
#include "formats/deviatetable.h"
#include "fuzzcheck.h"
#include "fuzzdraw.h"
#include "print/printedchart.h"
#include "recordingsurface.h"
#include "state/loading.h"
#include "statistics/dataerror.h"
#include "statistics/distributioncomparison.h"
#include "statistics/series.h"
#include "statistics/study.h"
#include "tools/normalquantile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

DeviateTable g_table{};

AppState StateFor(const Study& study) {
    AppState state;
    state.deviateTable = g_table;
    state.study = study;
    ApplyFirstLoadDefaults(state.settings, state.study.series);
    state.settings.alpha = study.settings.alpha;
    state.settings.target = study.settings.target;
    return state;
}

// A small bootstrap of the study: every figure finite or missing, a model without figures says
// why, an interval's ends in order and the error not negative.
void CheckBootstrap(const Study& study) {
    BootstrapSettings settings;
    settings.replicates = 20;
    std::optional<BootstrapResult> result;
    MustNotThrow("ComputeBootstrap",
                 [&] { result = ComputeBootstrap(BootstrapInputOf(study), settings); });
    Require(result.has_value(), "bootstrap result");
    auto check = [](const BootstrapFigures& f, const QString& key) {
        Require(!f.mean || std::isfinite(*f.mean), "bootstrap mean", key);
        Require(!f.error || (std::isfinite(*f.error) && *f.error >= 0), "bootstrap error", key);
        for (const std::optional<Interval>* i : {&f.percentile, &f.bca})
            Require(!*i || (std::isfinite((*i)->low) && (*i)->low <= (*i)->high &&
                            std::isfinite((*i)->high)),
                    "bootstrap interval", key);
    };
    for (const ModelBootstrap& model : result->models) {
        const QString key = QString::number(&model - result->models.data());
        Require(model.fitted >= 0 && model.fitted <= settings.replicates, "resamples fitted", key);
        Require(model.hasFigures() || !model.problem.isEmpty(), "bootstrap without its reason",
                key);
        for (const BootstrapPeriod& p : model.periods) {
            check(p.dry, key);
            check(p.wet, key);
            Require(model.hasFigures() || (!p.wet.error && !p.dry.percentile),
                    "figures of a model without them", key);
        }
    }
}

// Below the figures of a fit to rounding (5.6e15). Honest SLSCs can be large: a wild series of
// three values (one a hundred times the others) gives tens of thousands, and a GEV whose shape
// nears its bound −1 grows as 1/(1 + k), to about 10¹¹ at the 10⁻¹² from it that the fit allows.
constexpr double kSaneSlsc = 1e13;

// Every figure of the comparison is a finite number or missing, and means something: SLSC lies
// between 0 and a sane bound, each model's x(F) rises with F, a model that is not applicable says
// why, and the selection is the passing model with the smallest error of the target.
void CheckDistributions(const DistributionComparison& c) {
    auto finite = [](const std::optional<double>& v) { return !v || std::isfinite(*v); };
    std::optional<double> smallest;
    for (const ModelComparison& row : c.models) {
        const QString key = QString::fromLatin1(ModelKey(row.model.id()));
        if (!row.applicable()) {
            Require(!row.model.problem().isEmpty(), "model without its reason", key);
            Require(!row.slsc && !row.xCor && !row.passes && !row.selected,
                    "figures of a model that is not applicable", key);
            continue;
        }
        Require(row.slsc && std::isfinite(*row.slsc) && *row.slsc >= 0 && *row.slsc <= kSaneSlsc,
                "SLSC", key + QLatin1Char(' ') + QString::number(row.slsc.value_or(-1), 'g', 17));
        Require(row.xCor && std::abs(*row.xCor) <= 1 + 1e-12, "X-COR", key);
        Require(row.passes == (*row.slsc <= kGoodFitSlsc), "passes", key);
        for (const ModelParameter& p : row.model.parameters())
            Require(std::isfinite(p.value), "parameter", key + QLatin1String(p.name));
        for (const ReturnPeriodValues& p : row.periods) {
            Require(std::isfinite(p.dry) && std::isfinite(p.wet), "period value", key);
            Require(finite(p.dryJackknife) && finite(p.wetJackknife) && finite(p.dryError) &&
                        finite(p.wetError),
                    "jackknife figure", key);
            Require(p.dryError.has_value() == row.jackknifeProblem.isEmpty(),
                    "jackknife without its reason", key);
        }
        std::optional<double> below;
        for (double F : {1e-9, 0.001, 0.01, 0.1, 0.5, 0.9, 0.99, 0.999, 1 - 1e-9}) {
            const std::optional<double> x = row.model.quantile(F);
            Require(!x || std::isfinite(*x), "quantile", key);
            // Rounding may make two neighbours equal; a value never falls as F rises.
            if (x && below)
                Require(*x >= *below, "x(F) rising with F", key + QString::number(F));
            if (x)
                below = x;
        }
        const std::optional<double> error = row.targetError(c.target);
        if (row.passes && error && (!smallest || *error < *smallest))
            smallest = error;
    }
    Require(c.selected.has_value() == smallest.has_value(), "selection");
    if (c.selected) {
        const ModelComparison& chosen = c.model(*c.selected);
        Require(chosen.selected && chosen.passes && chosen.applicable() &&
                    chosen.targetError(c.target) == smallest,
                "selected model");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ParseDeviateTable(QByteArray::fromStdString(GenerateDeviateList()), g_table);
    return 0;
}

// The first byte is alpha in steps of 1/250 (125 is the default 0.5); the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const double alpha = data[0] / 250.0;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    SeriesData series;
    if (!CatchOnly<DataError>("ParseDataFile", [&] { series = ParseDataFile(bytes); }))
        return 0;
    Require(series.recordCount >= 0 && series.recordCount <= kMaxRecords, "record count");

    AnalysisResult r;
    if (!CatchOnly<DataError>("ComputeAnalysis", [&] {
            r = ComputeAnalysis(series.values.data(), series.recordCount, alpha, g_table);
        }))
        return 0;
    for (const QString* text :
         {&r.texts.arithMean, &r.texts.geoMean, &r.texts.maximum, &r.texts.minimum})
        Require(!ShowsNonFinite(*text), "statistics box", *text);
    // The means lie between the smallest and the largest value.
    const double* first = series.values.data();
    const double* last = first + series.recordCount;
    const double smallest = *std::min_element(first, last);
    const double largest = *std::max_element(first, last);
    Require(r.logMin <= r.logMean && r.logMean <= r.logMax, "geometric mean between the extremes",
            QString::number(r.logMean, 'g', 17));
    Require(smallest <= r.arithMean && r.arithMean <= largest,
            "arithmetic mean between the extremes", QString::number(r.arithMean, 'g', 17));
    // A series that was analysed has a spread.
    Require(HasSpread(std::span(first, last)), "analysed without spread");
    // Only elements 0..499 are ever loaded; a plotting position beyond them reads a 0.
    for (int i = 0; i < series.recordCount; ++i)
        Require(std::abs(r.probabilities[i] - 0.5) * 1000 < kDeviateTableLoaded - 0.5,
                "plotting position outside the loaded table",
                QString::number(r.probabilities[i], 'g', 17));

    // The same analysis again inside the study, with the fit measures and every model.
    Study study;
    MustNotThrow("ComputeStudy", [&] {
        study = ComputeStudy(series, {alpha, kTargets[data[0] % 4]}, g_table);
    });
    Require(study.analysis.logMean == r.logMean && study.analysis.slope == r.slope,
            "the study's analysis");
    CheckDistributions(study.models);
    CheckBootstrap(study);

    for (int mode = 0; mode <= 2; ++mode) {
        for (int minIndex = -1; minIndex <= 3; ++minIndex) {
            for (int maxIndex = std::max(minIndex + 1, 1); maxIndex <= 5; ++maxIndex) {
                AppState state = StateFor(study);
                state.settings.analysisMode = mode;
                state.settings.scaleMinIndex = minIndex;
                state.settings.scaleMaxIndex = maxIndex;
                DrawBothChecked(state);
            }
        }
    }
    // Every model's curve the study could fit, on the first load's scale.
    AppState curves = StateFor(study);
    curves.settings.analysisMode = 2;
    curves.compared.show = true;
    curves.compared.models.assign(kModels.begin(), kModels.end());
    curves.compared.chosen = true;
    DrawBothChecked(curves);
    return 0;
}
