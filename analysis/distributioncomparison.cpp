#include "analysis/distributionfits.h"
#include "analysis/distributions.h"
#include "analysis/mathfunctions.h"
#include "analysis/numeric.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr size_t kPeriodCount = kReturnPeriods.size();

QString ValuesOutOfRange() {
    return QStringLiteral("確率値が数値の範囲を超えます。");
}

// The dry and wet values of every period: F = 1/T and 1 − 1/T.
struct PeriodValues {
    std::array<double, kPeriodCount> dry{};
    std::array<double, kPeriodCount> wet{};
};

// False when any value is not a finite number.
bool ValuesOf(const FittedModel& model, PeriodValues& v) {
    for (size_t k = 0; k < kPeriodCount; ++k) {
        const double T = kReturnPeriods[k];
        v.dry[k] = model.rawQuantile(1 / T);
        v.wet[k] = model.rawQuantile(1 - 1 / T);
        if (!std::isfinite(v.dry[k]) || !std::isfinite(v.wet[k]))
            return false;
    }
    return true;
}

// SLSC and X-COR of a model against the sorted values at the plotting positions, or why they
// cannot be computed.
QString Measure(const FittedModel& model, std::span<const double> sorted, double alpha,
                ModelComparison& row) {
    const size_t n = sorted.size();
    const double denominator = n + 1 - 2 * alpha;
    std::vector<double> fitted(n);
    double squares = 0;
    for (size_t i = 0; i < n; ++i) {
        const double x = sorted[i];
        const double F = (i + 1 - alpha) / denominator;
        const double q = model.rawQuantile(F);
        const double s = model.rawStandardVariable(x);
        const double r = model.rawStandardVariable(q);
        if (!std::isfinite(s))
            return QStringLiteral("値 %1 が当てはめた分布の範囲に入りません。").arg(FormatReal(x));
        if (!std::isfinite(q) || !std::isfinite(r))
            return QStringLiteral("非超過確率 %1 の値が求められません。").arg(FormatReal(F));
        squares += (s - r) * (s - r);
        fitted[i] = q;
    }
    const double range = std::fabs(model.rawStandardVariable(model.rawQuantile(0.99)) -
                                   model.rawStandardVariable(model.rawQuantile(0.01)));
    const double slsc = std::sqrt(squares / n) / range;
    if (!std::isfinite(slsc))
        return QStringLiteral("SLSC が求められません。");
    const std::optional<double> xCor = Correlation(sorted, fitted);
    if (!xCor)
        return QStringLiteral("相関係数 X-COR が求められません。");
    row.slsc = slsc;
    row.xCor = xCor;
    return {};
}

// The jackknife of every period: the model fitted again without each value in turn, each fit
// given the whole series' fit as its start.
void Jackknife(ModelId id, std::span<const double> sorted, const SampleArrays& arrays, double alpha,
               const FittedModel& start, const PeriodValues& full, ModelComparison& row) {
    const size_t n = sorted.size();
    // The sample without value j; moving from j to j + 1 puts value j back in its place.
    std::vector<double> x(sorted.begin() + 1, sorted.end());
    std::vector<double> ln(arrays.ln.begin() + 1, arrays.ln.end());
    std::vector<double> log10(arrays.log10.begin() + 1, arrays.log10.end());
    std::vector<double> root(arrays.root.begin() + 1, arrays.root.end());
    const Sample others{x, ln, log10, root};
    std::vector<PeriodValues> runs(n);
    for (size_t j = 0; j < n; ++j) {
        if (j > 0) {
            x[j - 1] = sorted[j - 1];
            ln[j - 1] = arrays.ln[j - 1];
            log10[j - 1] = arrays.log10[j - 1];
            root[j - 1] = arrays.root[j - 1];
        }
        const FittedModel model = FitSample(id, others, alpha, &start);
        auto refuse = [&](const QString& why) {
            row.jackknifeProblem =
                QStringLiteral("小さい方から %1 番目の値 %2 を除くと当てはめられないため、"
                               "ジャックナイフ推定値と誤差はありません（%3）")
                    .arg(j + 1)
                    .arg(FormatReal(sorted[j]), why);
        };
        if (!model.applicable()) {
            refuse(model.problem());
            return;
        }
        if (!ValuesOf(model, runs[j])) {
            refuse(ValuesOutOfRange());
            return;
        }
    }
    std::vector<double> leftOut(n);
    auto figures = [&](auto member, size_t k, std::optional<double>& estimate,
                       std::optional<double>& error) {
        for (size_t j = 0; j < n; ++j)
            leftOut[j] = (runs[j].*member)[k];
        if (const std::optional<JackknifeFigures> f = JackknifeOf((full.*member)[k], leftOut)) {
            estimate = f->estimate;
            error = f->error;
        }
    };
    for (size_t k = 0; k < kPeriodCount; ++k) {
        ModelPeriod& p = row.periods[k];
        figures(&PeriodValues::dry, k, p.dryJackknife, p.dryError);
        figures(&PeriodValues::wet, k, p.wetJackknife, p.wetError);
        if (!p.dryError || !p.wetError) {
            row.jackknifeProblem =
                QStringLiteral("ジャックナイフの誤差が数値の範囲を超えるため、ありません。");
            for (ModelPeriod& q : row.periods)
                q.dryJackknife = q.wetJackknife = q.dryError = q.wetError = std::nullopt;
            return;
        }
    }
}

// The model fitted to the sorted values with SLSC, X-COR and every period's values: all of the
// comparison but the jackknife. Not applicable when any of them cannot be had.
ModelComparison FitAndMeasure(ModelId id, std::span<const double> sorted,
                              const SampleArrays& arrays, double alpha, PeriodValues& full) {
    ModelComparison row;
    row.model = FitSample(id, arrays.of(sorted), alpha);
    if (!row.model.applicable())
        return row;
    QString why = Measure(row.model, sorted, alpha, row);
    if (why.isEmpty() && !ValuesOf(row.model, full))
        why = ValuesOutOfRange();
    if (!why.isEmpty()) {
        ModelComparison refused;
        refused.model = FittedModel::notApplicable(id, why);
        return refused;
    }
    for (size_t k = 0; k < kPeriodCount; ++k) {
        row.periods[k].dry = full.dry[k];
        row.periods[k].wet = full.wet[k];
    }
    return row;
}

ModelComparison Compare(ModelId id, std::span<const double> sorted, double alpha) {
    const SampleArrays arrays(sorted);
    PeriodValues full;
    ModelComparison row = FitAndMeasure(id, sorted, arrays, alpha, full);
    if (!row.applicable())
        return row;
    Jackknife(id, sorted, arrays, alpha, row.model, full, row);
    row.passes = row.slsc && *row.slsc <= kGoodFitSlsc;
    return row;
}

// The page's line, with the results window's own figures.
ModelComparison ComparePaper(const FitMeasures& paper) {
    ModelComparison row;
    row.model = PaperLineModel(paper.logMean, paper.slope);
    if (!row.model.applicable())
        return row;
    if (!paper.slsc || !paper.xCor) {
        row.model = FittedModel::notApplicable(
            ModelId::Ln2Paper, QStringLiteral("回帰線の SLSC と X-COR が求められません。"));
        return row;
    }
    // A steep line over values that span hundreds of decades puts its long-period values past
    // the largest double, as the other models' would be.
    for (const ReturnPeriodValues& p : paper.periods) {
        if (!std::isfinite(p.dry) || !std::isfinite(p.wet)) {
            row.model = FittedModel::notApplicable(ModelId::Ln2Paper, ValuesOutOfRange());
            return row;
        }
    }
    row.slsc = paper.slsc;
    row.xCor = paper.xCor;
    for (size_t k = 0; k < kPeriodCount; ++k) {
        const ReturnPeriodValues& from = paper.periods[k];
        ModelPeriod& to = row.periods[k];
        to.dry = from.dry;
        to.wet = from.wet;
        to.dryJackknife = from.dryJackknife;
        to.wetJackknife = from.wetJackknife;
        to.dryError = from.dryError;
        to.wetError = from.wetError;
    }
    row.jackknifeProblem = paper.errorProblem;
    row.passes = *row.slsc <= kGoodFitSlsc;
    return row;
}

} // namespace

const ModelPeriod* ModelComparison::period(int years) const {
    for (const ModelPeriod& p : periods)
        if (p.period == years)
            return &p;
    return nullptr;
}

std::optional<double> ModelComparison::targetError(Target target) const {
    const ModelPeriod* p = period(TargetPeriod(target));
    if (!p)
        return std::nullopt;
    return TargetIsWet(target) ? p->wetError : p->dryError;
}

DistributionComparison ComputeDistributions(const FitMeasures& paper, const double* values, int n,
                                            double alpha, Target target) {
    DistributionComparison result;
    result.target = target;
    result.alpha = alpha;
    result.recordCount = n;
    std::vector<double> sorted(values, values + std::max(n, 0));
    std::sort(sorted.begin(), sorted.end());
    for (ModelId id : kModels)
        result.models[static_cast<size_t>(id)] =
            id == ModelId::Ln2Paper ? ComparePaper(paper) : Compare(id, sorted, alpha);
    SelectModel(result, target);
    return result;
}

void SelectModel(DistributionComparison& comparison, Target target) {
    comparison.target = target;
    comparison.selected.reset();
    // Ties go to the earlier model of the list.
    std::optional<double> smallest;
    for (ModelComparison& row : comparison.models) {
        row.selected = false;
        const std::optional<double> error = row.targetError(target);
        if (row.passes && error && (!smallest || *error < *smallest)) {
            smallest = error;
            comparison.selected = row.model.id();
        }
    }
    if (comparison.selected)
        comparison.models[static_cast<size_t>(*comparison.selected)].selected = true;
}

DistributionComparison ComputeDistributions(const AppState& state, Target target) {
    return ComputeDistributions(ComputeFitMeasures(state), state.series.values.data(),
                                state.series.recordCount, state.settings.alpha, target);
}

std::vector<FittedModel> ShownCurveModels(const AppState& state) {
    std::vector<FittedModel> shown;
    const int n = std::clamp(state.series.recordCount, 0, kMaxRecords);
    if (!state.compared.show || n == 0)
        return shown;
    std::vector<double> sorted(state.series.values.begin(), state.series.values.begin() + n);
    std::sort(sorted.begin(), sorted.end());
    const SampleArrays arrays(sorted);
    // The same tests as the comparison's table, so no curve is drawn for a model it refuses.
    for (const ModelId id : state.compared.models) {
        PeriodValues full;
        const ModelComparison row =
            id == ModelId::Ln2Paper ? ComparePaper(ComputeLineMeasures(state))
                                    : FitAndMeasure(id, sorted, arrays, state.settings.alpha, full);
        if (row.applicable())
            shown.push_back(row.model);
    }
    return shown;
}
