#pragma once

#include "statistics/distributions.h"
#include "statistics/returnperiods.h"

#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

struct Sample;

// The jackknife of one figure: from the whole series' value and the values with each record
// left out, the estimate N·x̂ − (N − 1)·x̄ and the error √((N − 1)/N · Σ(x̂_(j) − x̄)²); none
// when either is not a finite number.
struct JackknifeFigures {
    double estimate;
    double error;
};
std::optional<JackknifeFigures> JackknifeOf(double full, std::span<const double> leftOut);

// The dry and wet values of every period of one fit: F = 1/T and 1 − 1/T.
struct PeriodQuantiles {
    std::array<double, kPeriodCount> dry{};
    std::array<double, kPeriodCount> wet{};
};
// The model's values at every period; false when any is not a finite number.
bool QuantilesOf(const FittedModel& model, PeriodQuantiles& q);

// Why a model's values at the return periods are not had: one is past the largest double.
QString PeriodValuesOutOfRange();

// How a jackknife of every return period ended.
struct JackknifeOutcome {
    enum class Ending { Complete, LeftOutRefused, OutOfRange };
    Ending ending = Ending::Complete;
    // LeftOutRefused: the sorted position whose leaving out could not be fitted or gave a value
    // past the largest double, and why. OutOfRange: an estimate or error is past it.
    size_t leftOut = 0;
    QString problem;

    bool complete() const { return ending == Ending::Complete; }
};

// The model fitted to sample (sorted, ascending) without each value in turn, each fit starting
// from whole, the fit to every value: runs[j] holds the values without value j. Stops at the
// first leaving out that cannot be fitted or gives a value past the largest double, and says
// which; OutOfRange when whole itself has no finite values.
JackknifeOutcome LeaveEachOut(ModelId id, const Sample& sample, double alpha,
                              const FittedModel& whole, std::vector<PeriodQuantiles>& runs);

// The jackknife of the model's values at other probabilities than the periods': each leaving out
// fitted as LeaveEachOut does, figures[k] the estimate and error at probabilities[k]. On
// success figures holds one for each probability; otherwise it is empty and the outcome says why.
JackknifeOutcome JackknifeAt(ModelId id, const Sample& sample, double alpha,
                             const FittedModel& whole, std::span<const double> probabilities,
                             std::vector<JackknifeFigures>& figures);

// The jackknife of every period of one model: the model fitted to sample (sorted, ascending)
// without each value in turn, each fit starting from whole, the fit to every value, from whose
// values the estimates are formed. On success the estimates and errors of periods are filled;
// otherwise none of them is and the outcome says why.
JackknifeOutcome JackknifePeriods(ModelId id, const Sample& sample, double alpha,
                                  const FittedModel& whole, PeriodTable& periods);
