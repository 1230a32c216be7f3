#pragma once

#include "analysis/appstate.h"
#include "analysis/fitmeasures.h"

#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

// The candidate distributions of Japanese practice, in the order every table shows them.
enum class ModelId { Ln2Paper, Ln2Pm, Ln2Lm, Ln3Iwai, Ln3Q, Ln3Lm, Lp3, Exp, Gumbel, Sqrtet, Gev };
inline constexpr std::array<ModelId, 11> kModels{ModelId::Ln2Paper, ModelId::Ln2Pm, ModelId::Ln2Lm,
                                                 ModelId::Ln3Iwai,  ModelId::Ln3Q,  ModelId::Ln3Lm,
                                                 ModelId::Lp3,      ModelId::Exp,   ModelId::Gumbel,
                                                 ModelId::Sqrtet,   ModelId::Gev};
inline constexpr size_t kModelCount = kModels.size();

// The model's key in JSON and CSV ("ln2_paper", "gev", ...).
const char* ModelKey(ModelId id);
// The model's Japanese name ("一般化極値分布", ...).
QString ModelName(ModelId id);
// Its name in a small chart's legend ("LN2PM", "Gumbel", ...).
QString ModelShortName(ModelId id);

// What the selection minimises: the jackknife error of one of four values.
enum class Target { Dry10, Dry100, Wet10, Wet100 };
inline constexpr std::array<Target, 4> kTargets{Target::Dry10, Target::Dry100, Target::Wet10,
                                                Target::Wet100};
inline constexpr Target kDefaultTarget = Target::Wet100;
// "dry10", "dry100", "wet10", "wet100": the command line's and the JSON's word.
const char* TargetKey(Target target);
// "1/10 渇水年", "1/100 渇水年", "1/10 豊水年", "1/100 豊水年".
QString TargetLabel(Target target);
// The target a key names, if any.
std::optional<Target> TargetFromKey(QStringView key);
// The return period (10 or 100) and the side of a target.
int TargetPeriod(Target target);
bool TargetIsWet(Target target);

struct ModelParameter {
    const char* name; // as in JSON: "xi", "alpha", "k", "mu", ...
    double value;
};

// One distribution fitted to one series: a small value that evaluates x(F), F(x) and s(x) without
// fitting again, so a chart may draw its curve at as many probabilities as it likes.
class FittedModel {
public:
    FittedModel() = default;

    ModelId id() const { return id_; }
    QString name() const { return ModelName(id_); }
    // False when the model cannot be fitted to the series; problem() then says why in Japanese.
    bool applicable() const { return problem_.isEmpty(); }
    const QString& problem() const { return problem_; }
    // The parameters under their JSON names, in the order the tables show them; none when the
    // model is not applicable.
    std::vector<ModelParameter> parameters() const;

    // x(F): the value whose non-exceedance probability is F. Nothing when F is not inside (0, 1),
    // the model is not applicable or the value is not a finite number.
    std::optional<double> quantile(double F) const;
    // s(x): the model's standard variable, which SLSC compares; nothing outside the support.
    std::optional<double> standardVariable(double x) const;
    // F(x): the non-exceedance probability of x, 0 below the support and 1 above it. Nothing
    // when the model is not applicable or x is not a finite number.
    std::optional<double> cdf(double x) const;

    // Internal to the fitting code: the kind and its parameters.
    static FittedModel make(ModelId id, std::array<double, 4> p) {
        FittedModel m;
        m.id_ = id;
        m.p_ = p;
        return m;
    }
    static FittedModel notApplicable(ModelId id, QString problem) {
        FittedModel m;
        m.id_ = id;
        m.problem_ = std::move(problem);
        return m;
    }
    // x(F) with no checks: NaN or an infinity where it does not exist.
    double rawQuantile(double F) const;
    double rawStandardVariable(double x) const;
    // F(x) with no checks: NaN where cdf() gives nothing.
    double rawCdf(double x) const;
    const std::array<double, 4>& rawParameters() const { return p_; }

private:
    ModelId id_ = ModelId::Ln2Paper;
    std::array<double, 4> p_{};
    QString problem_;
};

// Fits one model to sorted values, ascending, all > 0, with the plotting positions of alpha 0.5
// (which only ln2_paper's line takes). Never throws: a model that cannot be fitted comes back
// not applicable.
FittedModel FitModel(ModelId id, std::span<const double> sorted);
// The page's own line as a model: log10 x = logMean + slope * z. Its values are the shown ones;
// FitModel's ln2_paper is the line at the exact normal quantiles, which resampling needs.
FittedModel PaperLineModel(double logMean, double slope);

// One return period of one model: the fitted values and, where the jackknife exists, its
// estimates and standard errors.
struct ModelPeriod {
    int period = 0;
    double dry = 0; // x(1/T)
    double wet = 0; // x(1 - 1/T)
    std::optional<double> dryJackknife;
    std::optional<double> wetJackknife;
    std::optional<double> dryError;
    std::optional<double> wetError;
};

// Every return period in order, its figures still to come.
inline std::array<ModelPeriod, kReturnPeriods.size()> EmptyPeriods() {
    std::array<ModelPeriod, kReturnPeriods.size()> periods{};
    for (size_t k = 0; k < periods.size(); ++k)
        periods[k].period = kReturnPeriods[k];
    return periods;
}

struct ModelComparison {
    FittedModel model;
    // Fit measures; nothing when the model is not applicable.
    std::optional<double> slsc;
    std::optional<double> xCor;
    // Every period; its values when the model is applicable.
    std::array<ModelPeriod, kReturnPeriods.size()> periods = EmptyPeriods();
    // Why the jackknife figures are missing; empty when they are all there.
    QString jackknifeProblem;
    bool passes = false; // applicable and SLSC <= kGoodFitSlsc
    bool selected = false;

    bool applicable() const { return model.applicable(); }
    // The period's values, by its number of years (10, 100, ...); nullptr for no such period.
    const ModelPeriod* period(int years) const;
    // The jackknife error of the target, if there is one.
    std::optional<double> targetError(Target target) const;
};

struct DistributionComparison {
    Target target = kDefaultTarget;
    double alpha = 0.5;
    int recordCount = 0;
    // In the order of kModels.
    std::array<ModelComparison, kModelCount> models;
    // The model among those that pass with the smallest jackknife error of the target; nothing
    // when none passes (or none that passes has the error).
    std::optional<ModelId> selected;

    const ModelComparison& model(ModelId id) const { return models[static_cast<size_t>(id)]; }
};

// Every model fitted to the analysed series in state (values, recordCount, alpha and the page's
// line), with SLSC, X-COR, the eleven periods, the jackknife, passes and the selection for target.
// The ln2_paper row is the results window's own figures. Never throws.
DistributionComparison ComputeDistributions(const AppState& state, Target target = kDefaultTarget);
// The same from the page's figures already computed, for the callers that have them.
DistributionComparison ComputeDistributions(const FitMeasures& paper, const double* values, int n,
                                            double alpha, Target target = kDefaultTarget);

// Moves the selection of a comparison to the model that wins for target; only the selection
// depends on it, so nothing is fitted again.
void SelectModel(DistributionComparison& comparison, Target target);

// The models whose curves the main chart and the printed page draw: the comparison's ticked
// models fitted afresh to the series in state, leaving out any that cannot be fitted to it; none
// while the charts are not asked to show them. Never throws.
std::vector<FittedModel> ShownCurveModels(const AppState& state);
