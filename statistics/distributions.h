#pragma once

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
// What is to be said of the model's method wherever it is compared; empty for most.
QString ModelNote(ModelId id);

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
