#include "statistics/intensity.h"

#include "statistics/dataerror.h"
#include "statistics/distributionfits.h"
#include "statistics/numeric.h"
#include "statistics/resampling.h"

#include <algorithm>
#include <cmath>

namespace {

// The 7-year period is not among the study's; the others are.
constexpr int kOwnPeriod = 7;

// The model a duration's values come from: the fixed one, or the study's selection.
std::optional<ModelId> ChosenModel(const Study& study, std::optional<ModelId> fixed,
                                   QString& problem) {
    if (fixed) {
        const ModelComparison& row = study.models.model(*fixed);
        if (!row.applicable()) {
            problem = QStringLiteral("%1を当てはめられません（%2）")
                          .arg(ModelName(*fixed), row.model.problem());
            return std::nullopt;
        }
        return fixed;
    }
    if (!study.models.selected)
        problem = QStringLiteral("SLSC が 0.04 以下の分布がないため、どの分布も選んでいません。");
    return study.models.selected;
}

// The jackknife of the model's 7-year value, fitted as the study fits its other periods.
std::optional<JackknifeFigures> SevenYearJackknife(const Study& study, ModelId id) {
    const int n = std::clamp(study.series.recordCount, 0, kMaxRecords);
    std::vector<double> sorted(study.series.values.begin(), study.series.values.begin() + n);
    std::sort(sorted.begin(), sorted.end());
    const double alpha = study.settings.alpha;
    const SampleArrays arrays(sorted, alpha);
    const Sample sample = arrays.of(sorted);
    // The page's line is resampled at the exact normal scores, as its jackknife is.
    const FittedModel whole =
        id == ModelId::Ln2Paper ? FitSample(id, sample, alpha) : study.models.model(id).model;
    const double F = WetProbability(kOwnPeriod);
    std::vector<JackknifeFigures> figures;
    if (!JackknifeAt(id, sample, alpha, whole, std::span<const double>(&F, 1), figures).complete())
        return std::nullopt;
    return figures.front();
}

bool AllEqual(std::span<const double> v) {
    return std::all_of(v.begin(), v.end(), [&](double x) { return x == v.front(); });
}

// The least-squares line y = intercept + slope·x by the sums of the values, or nothing when the
// x do not vary.
struct Line {
    double intercept;
    double slope;
};
std::optional<Line> LeastSquares(std::span<const double> x, std::span<const double> y) {
    if (AllEqual(x))
        return std::nullopt;
    const double m = static_cast<double>(x.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double denominator = m * sxx - sx * sx;
    if (!(denominator > 0))
        return std::nullopt;
    return Line{(sy * sxx - sx * sxy) / denominator, (m * sxy - sx * sy) / denominator};
}

// Talbot's a and b of I = a / (x + b) by least squares of I·x = a − b·I, for any x of t.
struct Talbot {
    std::optional<double> a;
    std::optional<double> b;
    QString problem;
};
Talbot TalbotOf(std::span<const IntensityPoint> points, double (*x)(double, double), double power) {
    std::vector<double> intensity;
    std::vector<double> product;
    for (const IntensityPoint& p : points) {
        intensity.push_back(p.intensity);
        product.push_back(p.intensity * x(p.minutes, power));
    }
    const std::optional<Line> line = LeastSquares(intensity, product);
    if (!line)
        return {{},
                {},
                QStringLiteral("強度がどの継続時間でも同じため、最小二乗法の分母が 0 になり、"
                               "当てはめられません。")};
    const double b = -line->slope;
    if (b < 0)
        return {{},
                {},
                QStringLiteral("b が負（%1）になるため、当てはめられません。").arg(FormatReal(b))};
    return {line->intercept, b, {}};
}

double Plain(double t, double) {
    return t;
}
double Root(double t, double) {
    return std::sqrt(t);
}
double Power(double t, double n) {
    return std::pow(t, n);
}

// Σ(I − Î)², or nothing when Î is not finite somewhere.
std::optional<double> SquaredResiduals(const FormulaFit& fit,
                                       std::span<const IntensityPoint> points) {
    double sum = 0;
    for (const IntensityPoint& p : points) {
        const std::optional<double> v = fit.intensityAt(p.minutes);
        if (!v)
            return std::nullopt;
        sum += (p.intensity - *v) * (p.intensity - *v);
    }
    return sum;
}

FormulaFit Cleveland(std::span<const IntensityPoint> points) {
    FormulaFit best;
    best.formula = IntensityFormula::Cleveland;
    std::optional<double> least;
    // n is taken as its thousandths, so every n is the nearest double to its decimal.
    for (int millis = kClevelandLowestMillis; millis <= kClevelandHighestMillis; ++millis) {
        const double n = millis / 1000.0;
        const Talbot talbot = TalbotOf(points, Power, n);
        if (!talbot.problem.isEmpty())
            continue;
        FormulaFit fit;
        fit.formula = IntensityFormula::Cleveland;
        fit.a = talbot.a;
        fit.b = talbot.b;
        fit.n = n;
        const std::optional<double> squares = SquaredResiduals(fit, points);
        // The smallest n wins a tie.
        if (squares && (!least || *squares < *least)) {
            least = squares;
            best = fit;
        }
    }
    if (!least)
        best.problem = QStringLiteral("n = 0.300～1.500 のどれでも b が負になるか分母が 0 になる"
                                      "ため、当てはめられません。");
    return best;
}

const IntensityPoint* PointAt(std::span<const IntensityPoint> points, int minutes) {
    for (const IntensityPoint& p : points)
        if (p.minutes == minutes)
            return &p;
    return nullptr;
}

FormulaFit Characteristic(std::span<const IntensityPoint> points) {
    FormulaFit fit;
    fit.formula = IntensityFormula::Characteristic;
    const IntensityPoint* ten = PointAt(points, 10);
    const IntensityPoint* hour = PointAt(points, 60);
    if (!ten || !hour) {
        fit.problem = QStringLiteral("10 分と 60 分の両方が当てはめる継続時間にないため、"
                                     "求められません。");
        return fit;
    }
    const double beta = ten->intensity / hour->intensity;
    if (beta - 1 == 0) {
        fit.problem = QStringLiteral("10 分と 60 分の強度が等しい（β = 1）ため、求められません。");
        return fit;
    }
    fit.b = (60 - 10 * beta) / (beta - 1);
    fit.a = hour->intensity * (60 + *fit.b);
    return fit;
}

FormulaFit Sherman(std::span<const IntensityPoint> points) {
    FormulaFit fit;
    fit.formula = IntensityFormula::Sherman;
    std::vector<double> x;
    std::vector<double> y;
    for (const IntensityPoint& p : points) {
        x.push_back(std::log10(static_cast<double>(p.minutes)));
        y.push_back(std::log10(p.intensity));
    }
    const std::optional<Line> line = LeastSquares(x, y);
    if (!line) {
        fit.problem = QStringLiteral("継続時間がどれも同じため、最小二乗法の分母が 0 になり、"
                                     "当てはめられません。");
        return fit;
    }
    fit.a = std::pow(10.0, line->intercept);
    fit.n = -line->slope;
    return fit;
}

// The fit measures of a fitted formula; not applicable when Î is not finite at every point.
void Measure(FormulaFit& fit, std::span<const IntensityPoint> points) {
    if (!fit.applicable())
        return;
    double squares = 0;
    double largest = 0;
    for (const IntensityPoint& p : points) {
        const std::optional<double> v = fit.intensityAt(p.minutes);
        if (!v) {
            fit = FormulaFit{
                fit.formula, {},
                {},          {},
                {},          {},
                false,       QStringLiteral("%1 分で式の値が求められません。").arg(p.minutes)};
            return;
        }
        squares += (p.intensity - *v) * (p.intensity - *v);
        largest = std::max(largest, std::fabs(p.intensity - *v) / p.intensity);
    }
    fit.rmse = std::sqrt(squares / static_cast<double>(points.size()));
    fit.maxRelativeError = largest;
}

FormulaFit NotApplicable(IntensityFormula formula, const QString& problem) {
    FormulaFit fit;
    fit.formula = formula;
    fit.problem = problem;
    return fit;
}

QString DurationList(std::span<const DurationColumn> columns, std::span<const size_t> indices) {
    QStringList labels;
    for (size_t i : indices)
        labels << columns[i].label;
    return labels.join(QStringLiteral("、"));
}

} // namespace

DurationRainfall RainfallOfStudy(Study study, const QString& label, int minutes,
                                 std::optional<ModelId> model) {
    DurationRainfall d;
    d.label = label;
    d.minutes = minutes;
    for (size_t k = 0; k < kRainfallPeriodCount; ++k)
        d.periods[k].period = kRainfallPeriods[k];
    d.model = ChosenModel(study, model, d.problem);
    if (d.model) {
        const ModelComparison& row = study.models.model(*d.model);
        d.slsc = row.slsc;
        for (RainfallPeriod& p : d.periods) {
            std::optional<double> error;
            if (p.period == kOwnPeriod) {
                p.depth = row.model.quantile(WetProbability(kOwnPeriod));
                if (row.jackknifeProblem.isEmpty())
                    if (const auto jackknife = SevenYearJackknife(study, *d.model))
                        error = jackknife->error;
            } else if (const ReturnPeriodValues* values = row.period(p.period)) {
                p.depth = values->wet;
                error = values->wetError;
            }
            if (p.depth && !std::isfinite(*p.depth))
                p.depth.reset();
            if (!p.depth)
                continue;
            p.intensity = IntensityOf(*p.depth, minutes);
            if (error && std::isfinite(*error + *p.depth)) {
                p.error = error;
                p.upper = *p.depth + *error;
            }
        }
        if (!row.jackknifeProblem.isEmpty())
            d.problem = row.jackknifeProblem;
    }
    d.study = std::move(study);
    return d;
}

DurationRainfall ComputeDurationRainfall(const DurationColumn& column,
                                         const RainfallSettings& settings,
                                         const DeviateTable& table) {
    try {
        return RainfallOfStudy(ComputeStudy(column.series, settings.study, table), column.label,
                               column.minutes, settings.model);
    } catch (const DataError& error) {
        DurationRainfall d;
        d.label = column.label;
        d.minutes = column.minutes;
        for (size_t k = 0; k < kRainfallPeriodCount; ++k)
            d.periods[k].period = kRainfallPeriods[k];
        d.problem = error.message();
        return d;
    }
}

const char* IntensityFormulaKey(IntensityFormula formula) {
    switch (formula) {
    case IntensityFormula::Talbot:
        return "talbot";
    case IntensityFormula::KunoIshiguro:
        return "kuno_ishiguro";
    case IntensityFormula::Sherman:
        return "sherman";
    case IntensityFormula::Cleveland:
        return "cleveland";
    case IntensityFormula::Characteristic:
        return "characteristic";
    }
    return "";
}

QString IntensityFormulaName(IntensityFormula formula) {
    switch (formula) {
    case IntensityFormula::Talbot:
        return QStringLiteral("タルボット型");
    case IntensityFormula::KunoIshiguro:
        return QStringLiteral("久野・石黒型");
    case IntensityFormula::Sherman:
        return QStringLiteral("シャーマン型");
    case IntensityFormula::Cleveland:
        return QStringLiteral("クリーブランド型");
    case IntensityFormula::Characteristic:
        return QStringLiteral("特性係数法");
    }
    return {};
}

QString IntensityFormulaText(IntensityFormula formula) {
    switch (formula) {
    case IntensityFormula::Talbot:
    case IntensityFormula::Characteristic:
        return QStringLiteral("I = a / (t + b)");
    case IntensityFormula::KunoIshiguro:
        return QStringLiteral("I = a / (√t + b)");
    case IntensityFormula::Sherman:
        return QStringLiteral("I = a / tⁿ");
    case IntensityFormula::Cleveland:
        return QStringLiteral("I = a / (tⁿ + b)");
    }
    return {};
}

bool FormulaHasB(IntensityFormula formula) {
    return formula != IntensityFormula::Sherman;
}

bool FormulaHasN(IntensityFormula formula) {
    return formula == IntensityFormula::Sherman || formula == IntensityFormula::Cleveland;
}

std::optional<double> FormulaFit::intensityAt(double minutes) const {
    if (!a)
        return std::nullopt;
    double denominator = 0;
    switch (formula) {
    case IntensityFormula::Talbot:
    case IntensityFormula::Characteristic:
        denominator = minutes + b.value_or(0);
        break;
    case IntensityFormula::KunoIshiguro:
        denominator = std::sqrt(minutes) + b.value_or(0);
        break;
    case IntensityFormula::Sherman:
        denominator = std::pow(minutes, n.value_or(0));
        break;
    case IntensityFormula::Cleveland:
        denominator = std::pow(minutes, n.value_or(0)) + b.value_or(0);
        break;
    }
    const double value = *a / denominator;
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

FormulaFit FitIntensityFormula(IntensityFormula formula, std::span<const IntensityPoint> points) {
    if (points.size() < kMinFitDurations)
        return NotApplicable(formula,
                             QStringLiteral("当てはめる継続時間が %1 つしかありません（%2 つ以上が"
                                            "必要です）。")
                                 .arg(points.size())
                                 .arg(kMinFitDurations));
    for (const IntensityPoint& p : points)
        if (!(p.intensity > 0) || !std::isfinite(p.intensity) || p.minutes <= 0)
            return NotApplicable(
                formula, QStringLiteral("%1 分の強度が正の数ではないため、当てはめられません。")
                             .arg(p.minutes));
    FormulaFit fit;
    switch (formula) {
    case IntensityFormula::Talbot:
    case IntensityFormula::KunoIshiguro: {
        const Talbot talbot =
            TalbotOf(points, formula == IntensityFormula::Talbot ? Plain : Root, 0);
        fit.formula = formula;
        fit.a = talbot.a;
        fit.b = talbot.b;
        fit.problem = talbot.problem;
        break;
    }
    case IntensityFormula::Sherman:
        fit = Sherman(points);
        break;
    case IntensityFormula::Cleveland:
        fit = Cleveland(points);
        break;
    case IntensityFormula::Characteristic:
        fit = Characteristic(points);
        break;
    }
    if (!fit.applicable())
        return NotApplicable(formula, fit.problem);
    Measure(fit, points);
    // Constants past the largest double (intensities that barely differ) are not shown.
    for (const std::optional<double>& v : {fit.a, fit.b, fit.n, fit.rmse, fit.maxRelativeError})
        if (v && !std::isfinite(*v))
            return NotApplicable(formula, QStringLiteral("定数が数値の範囲を超えるため、"
                                                         "当てはめられません。"));
    return fit;
}

std::array<FormulaFit, kIntensityFormulaCount>
FitIntensityFormulas(std::span<const IntensityPoint> points) {
    std::array<FormulaFit, kIntensityFormulaCount> fits;
    for (size_t f = 0; f < kIntensityFormulaCount; ++f)
        fits[f] = FitIntensityFormula(kIntensityFormulas[f], points);
    // The least root mean square; a tie goes to the earlier formula.
    FormulaFit* best = nullptr;
    for (FormulaFit& fit : fits)
        if (fit.rmse && (!best || *fit.rmse < *best->rmse))
            best = &fit;
    if (best)
        best->best = true;
    return fits;
}

std::array<PeriodFormulas, kRainfallPeriodCount>
FitPeriodFormulas(const std::vector<DurationRainfall>& durations, std::span<const size_t> fitted) {
    std::array<PeriodFormulas, kRainfallPeriodCount> formulas;
    for (size_t k = 0; k < kRainfallPeriodCount; ++k) {
        PeriodFormulas& period = formulas[k];
        period.period = kRainfallPeriods[k];
        std::vector<IntensityPoint> points;
        QString missing;
        for (size_t i : fitted) {
            const DurationRainfall& d = durations[i];
            if (d.periods[k].intensity) {
                points.push_back({d.minutes, *d.periods[k].intensity});
            } else if (missing.isEmpty()) {
                missing =
                    QStringLiteral("%1 の %2 年確率雨量がないため、当てはめられません（%3）。")
                        .arg(d.label)
                        .arg(period.period)
                        .arg(d.problem.isEmpty() ? QStringLiteral("値が求められません")
                                                 : d.problem);
            }
        }
        if (missing.isEmpty()) {
            period.fits = FitIntensityFormulas(points);
            continue;
        }
        for (size_t f = 0; f < kIntensityFormulaCount; ++f)
            period.fits[f] = NotApplicable(kIntensityFormulas[f], missing);
    }
    return formulas;
}

std::vector<size_t> DefaultFitDurations(std::span<const DurationColumn> columns) {
    std::vector<size_t> fitted;
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].minutes > 0 && columns[i].minutes <= kDefaultLongestFitMinutes)
            fitted.push_back(i);
    return fitted;
}

IntensityStudy ComputeIntensityStudy(std::span<const DurationColumn> columns,
                                     std::span<const size_t> fitted,
                                     const RainfallSettings& settings, const DeviateTable& table) {
    ClearUpperVectorState();
    if (fitted.size() < kMinFitDurations)
        throw DataError(
            QStringLiteral("降雨強度式には %1 つ以上の継続時間が必要ですが、当てはめる"
                           "継続時間は %2 つです（%3）。")
                .arg(kMinFitDurations)
                .arg(fitted.size())
                .arg(fitted.empty() ? QStringLiteral("なし") : DurationList(columns, fitted)));
    for (size_t i = 0; i < fitted.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (columns[fitted[i]].minutes == columns[fitted[j]].minutes)
                throw DataError(QStringLiteral("継続時間 %1 と %2 は同じ長さです。")
                                    .arg(columns[fitted[j]].label, columns[fitted[i]].label));
    IntensityStudy study;
    for (const DurationColumn& column : columns)
        study.durations.push_back(ComputeDurationRainfall(column, settings, table));
    study.fitted.assign(fitted.begin(), fitted.end());
    study.formulas = FitPeriodFormulas(study.durations, fitted);
    return study;
}
