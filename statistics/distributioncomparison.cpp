#include "statistics/distributioncomparison.h"

#include "statistics/distributionfits.h"
#include "statistics/mathfunctions.h"
#include "statistics/numeric.h"
#include "statistics/resampling.h"

#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The dry and wet values and deviates of every period: F = 1/T and 1 − 1/T. False when any
// value is not a finite number.
bool PeriodsOf(const FittedModel& model, PeriodTable& periods) {
    for (ReturnPeriodValues& p : periods) {
        const double dry = DryProbability(p.period);
        const double wet = WetProbability(p.period);
        p.dry = model.rawQuantile(dry);
        p.wet = model.rawQuantile(wet);
        p.dryDeviate = StandardNormalQuantile(dry);
        p.wetDeviate = StandardNormalQuantile(wet);
        if (!std::isfinite(p.dry) || !std::isfinite(p.wet))
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

// The model fitted to the sample with SLSC, X-COR and every period's values: all of the
// comparison but the jackknife. Not applicable when any of them cannot be had.
ModelComparison FitAndMeasure(ModelId id, const Sample& sample, double alpha, int recordCount) {
    ModelComparison row;
    row.periods = EmptyPeriods(recordCount);
    row.model = FitSample(id, sample, alpha);
    if (!row.model.applicable())
        return row;
    QString why = Measure(row.model, sample.x, alpha, row);
    if (why.isEmpty() && !PeriodsOf(row.model, row.periods))
        why = PeriodValuesOutOfRange();
    if (!why.isEmpty()) {
        ModelComparison refused;
        refused.periods = EmptyPeriods(recordCount);
        refused.model = FittedModel::notApplicable(id, why);
        return refused;
    }
    return row;
}

ModelComparison Compare(ModelId id, const Sample& sample, double alpha, int recordCount) {
    ModelComparison row = FitAndMeasure(id, sample, alpha, recordCount);
    if (!row.applicable())
        return row;
    const JackknifeOutcome outcome = JackknifePeriods(id, sample, alpha, row.model, row.periods);
    switch (outcome.ending) {
    case JackknifeOutcome::Ending::Complete:
        break;
    case JackknifeOutcome::Ending::LeftOutRefused:
        row.jackknifeProblem =
            QStringLiteral("小さい方から %1 番目の値 %2 を除くと当てはめられないため、"
                           "ジャックナイフ推定値と誤差はありません（%3）")
                .arg(outcome.leftOut + 1)
                .arg(FormatReal(sample.x[outcome.leftOut]), outcome.problem);
        break;
    case JackknifeOutcome::Ending::OutOfRange:
        row.jackknifeProblem =
            QStringLiteral("ジャックナイフの誤差が数値の範囲を超えるため、ありません。");
        break;
    }
    row.passes = row.slsc && *row.slsc <= kGoodFitSlsc;
    return row;
}

// The page's line, with the results window's own figures.
ModelComparison ComparePaper(const FitMeasures& paper) {
    ModelComparison row;
    row.periods = paper.periods;
    row.model = PaperLineModel(paper.logMean, paper.slope);
    auto refuse = [&](const QString& why) {
        row.model = FittedModel::notApplicable(ModelId::Ln2Paper, why);
        row.periods = EmptyPeriods(paper.recordCount);
        return row;
    };
    if (!paper.lineProblem.isEmpty())
        return refuse(paper.lineProblem);
    if (!row.model.applicable())
        return refuse(row.model.problem());
    if (!paper.slsc || !paper.xCor)
        return refuse(QStringLiteral("回帰線の SLSC と X-COR が求められません。"));
    // A steep line over values that span hundreds of decades puts its long-period values past
    // the largest double, as the other models' would be.
    for (const ReturnPeriodValues& p : paper.periods)
        if (!std::isfinite(p.dry) || !std::isfinite(p.wet))
            return refuse(PeriodValuesOutOfRange());
    row.slsc = paper.slsc;
    row.xCor = paper.xCor;
    row.jackknifeProblem = paper.errorProblem;
    row.passes = *row.slsc <= kGoodFitSlsc;
    return row;
}

} // namespace

std::optional<double> ModelComparison::targetError(Target target) const {
    const ReturnPeriodValues* p = period(TargetPeriod(target));
    if (!p)
        return std::nullopt;
    return TargetIsWet(target) ? p->wetError : p->dryError;
}

Curve ModelCurvePoints(const FittedModel& model, double from, double to, int steps) {
    Curve curve;
    curve.reserve(static_cast<size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const double z = from + (to - from) * i / steps;
        const double F = 0.5 * std::erfc(-z / std::sqrt(2.0));
        const std::optional<double> x = model.quantile(F);
        if (x && *x > 0)
            curve.push_back(CurvePoint{z, std::log10(*x)});
        else
            curve.push_back(std::nullopt);
    }
    return curve;
}

DistributionComparison CompareDistributions(const FitMeasures& paper, const Sample& sample,
                                            double alpha, Target target,
                                            std::optional<CurveSpan> span) {
    DistributionComparison result;
    result.alpha = alpha;
    result.recordCount = static_cast<int>(sample.x.size());
    // Each model is fitted, measured and resampled on its own, into its own row, so the rows
    // are the same whichever thread computes them and in whatever order.
    auto compare = [&](ModelComparison& row) {
        ClearUpperVectorState();
        const ModelId id = kModels[static_cast<size_t>(&row - result.models.data())];
        row = id == ModelId::Ln2Paper ? ComparePaper(paper)
                                      : Compare(id, sample, alpha, result.recordCount);
        if (span && row.applicable())
            row.curve = ModelCurvePoints(row.model, span->from, span->to);
    };
    QtConcurrent::blockingMap(result.models, compare);
    SelectModel(result, target);
    return result;
}

const char* SelectionRuleKey(SelectionRule rule) {
    return rule == SelectionRule::Bootstrap ? "bootstrap" : "jackknife";
}

void SelectModel(DistributionComparison& comparison, Target target, const TargetErrors* errors) {
    comparison.target = target;
    comparison.selected.reset();
    // Ties go to the earlier model of the list.
    std::optional<double> smallest;
    for (ModelComparison& row : comparison.models) {
        row.selected = false;
        const std::optional<double> error =
            errors ? (*errors)[static_cast<size_t>(row.model.id())] : row.targetError(target);
        if (row.passes && error && (!smallest || *error < *smallest)) {
            smallest = error;
            comparison.selected = row.model.id();
        }
    }
    if (comparison.selected)
        comparison.models[static_cast<size_t>(*comparison.selected)].selected = true;
}
