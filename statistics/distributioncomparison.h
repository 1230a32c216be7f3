#pragma once

#include "statistics/curve.h"
#include "statistics/distributions.h"
#include "statistics/fitmeasures.h"
#include "statistics/returnperiods.h"
#include "statistics/target.h"

#include <QString>

#include <array>
#include <optional>
#include <span>

struct Sample;

// The curves of the models run from the paper's lowest probability line to its highest.
inline constexpr double kCurveLowestProbability = 0.001;
inline constexpr double kCurveHighestProbability = 0.999;

// The standard normal deviates a curve runs between.
struct CurveSpan {
    double from = 0;
    double to = 0;
};

// The model's x(F) on probability paper from deviate `from` to `to`: log10 of the value against
// the standard normal deviate of F, broken where the value does not exist or is not positive.
Curve ModelCurvePoints(const FittedModel& model, double from, double to, int steps = 240);

struct ModelComparison {
    FittedModel model;
    // Fit measures; nothing when the model is not applicable.
    std::optional<double> slsc;
    std::optional<double> xCor;
    // Every period; its values when the model is applicable.
    PeriodTable periods = EmptyPeriods();
    // Why the jackknife figures are missing; empty when they are all there.
    QString jackknifeProblem;
    bool passes = false; // applicable and SLSC <= kGoodFitSlsc
    bool selected = false;
    // The curve every chart draws for the model, computed with the study; empty when the model
    // is not applicable or no span was asked for.
    Curve curve;

    bool applicable() const { return model.applicable(); }
    // The period's values, by its number of years (10, 100, ...); nullptr for no such period.
    const ReturnPeriodValues* period(int years) const { return FindPeriod(periods, years); }
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

// Every model fitted to the sorted values of sample with SLSC, X-COR, the eleven periods, the
// jackknife, passes and the selection for target, and with a span, each applicable model's
// curve over it. The ln2_paper row is the page's line with the figures of paper, its fit
// measures and jackknife. Never throws.
DistributionComparison CompareDistributions(const FitMeasures& paper, const Sample& sample,
                                            double alpha, Target target = kDefaultTarget,
                                            std::optional<CurveSpan> span = std::nullopt);

// What the selection minimises among the models that pass: the target's jackknife error, or its
// bootstrap error.
enum class SelectionRule { Jackknife, Bootstrap };
const char* SelectionRuleKey(SelectionRule rule); // "jackknife", "bootstrap"

// Each model's error of the target that a selection by another rule compares.
using TargetErrors = std::array<std::optional<double>, kModelCount>;

// Moves the selection of a comparison to the model that wins for target; only the selection
// depends on it, so nothing is fitted again. With errors, those are compared instead of the
// jackknife's, and a model without one cannot be chosen.
void SelectModel(DistributionComparison& comparison, Target target,
                 const TargetErrors* errors = nullptr);
