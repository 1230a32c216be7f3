#include "statistics/resampling.h"

#include "statistics/distributionfits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// A sample without one of its values, made once and changed in place: moving from leaving out
// j to leaving out j + 1 puts value j back where value j + 1 stood.
class LeaveOneOut {
public:
    LeaveOneOut(const Sample& whole, double alpha)
        : whole_(whole)
        , x_(whole.x.begin() + 1, whole.x.end())
        , ln_(whole.ln.begin() + 1, whole.ln.end())
        , log10_(whole.log10.begin() + 1, whole.log10.end())
        , root_(whole.root.begin() + 1, whole.root.end())
        , scores_(NormalScores(x_.size(), alpha)) {}

    // The sample without value j; j runs upwards from 0.
    Sample without(size_t j) {
        if (j > 0) {
            x_[j - 1] = whole_.x[j - 1];
            ln_[j - 1] = whole_.ln[j - 1];
            log10_[j - 1] = whole_.log10[j - 1];
            root_[j - 1] = whole_.root[j - 1];
        }
        return Sample{x_, ln_, log10_, root_, scores_};
    }

private:
    const Sample& whole_;
    std::vector<double> x_;
    std::vector<double> ln_;
    std::vector<double> log10_;
    std::vector<double> root_;
    std::vector<double> scores_;
};

} // namespace

bool QuantilesOf(const FittedModel& model, PeriodQuantiles& q) {
    for (size_t k = 0; k < kPeriodCount; ++k) {
        q.dry[k] = model.rawQuantile(DryProbability(kReturnPeriods[k]));
        q.wet[k] = model.rawQuantile(WetProbability(kReturnPeriods[k]));
        if (!std::isfinite(q.dry[k]) || !std::isfinite(q.wet[k]))
            return false;
    }
    return true;
}

QString PeriodValuesOutOfRange() {
    return QStringLiteral("確率値が数値の範囲を超えます。");
}

std::optional<JackknifeFigures> JackknifeOf(double full, std::span<const double> leftOut) {
    const double n = static_cast<double>(leftOut.size());
    double mean = 0;
    for (double v : leftOut)
        mean += v;
    mean /= n;
    double squares = 0;
    for (double v : leftOut)
        squares += (v - mean) * (v - mean);
    const double error = std::sqrt((n - 1) / n * squares);
    const double estimate = n * full - (n - 1) * mean;
    if (!std::isfinite(error) || !std::isfinite(estimate))
        return std::nullopt;
    return JackknifeFigures{estimate, error};
}

namespace {

// The model fitted to sample without each value in turn, each fit starting from whole; take(j,
// fit) keeps what it needs of fit j and says whether its values are finite. Stops at the first
// leaving out that cannot be fitted or whose values are not, and says which.
template <typename Take>
JackknifeOutcome FitEachLeftOut(ModelId id, const Sample& sample, double alpha,
                                const FittedModel& whole, Take take) {
    JackknifeOutcome outcome;
    LeaveOneOut others(sample, alpha);
    for (size_t j = 0; j < sample.x.size(); ++j) {
        const FittedModel model = FitSample(id, others.without(j), alpha, &whole);
        const bool fitted = model.applicable();
        if (!fitted || !take(j, model)) {
            outcome.ending = JackknifeOutcome::Ending::LeftOutRefused;
            outcome.leftOut = j;
            outcome.problem = fitted ? PeriodValuesOutOfRange() : model.problem();
            return outcome;
        }
    }
    return outcome;
}

} // namespace

JackknifeOutcome LeaveEachOut(ModelId id, const Sample& sample, double alpha,
                              const FittedModel& whole, std::vector<PeriodQuantiles>& runs) {
    PeriodQuantiles full;
    if (!whole.applicable() || !QuantilesOf(whole, full))
        return JackknifeOutcome{JackknifeOutcome::Ending::OutOfRange, 0, {}};
    runs.assign(sample.x.size(), PeriodQuantiles{});
    return FitEachLeftOut(id, sample, alpha, whole, [&](size_t j, const FittedModel& model) {
        return QuantilesOf(model, runs[j]);
    });
}

JackknifeOutcome JackknifeAt(ModelId id, const Sample& sample, double alpha,
                             const FittedModel& whole, std::span<const double> probabilities,
                             std::vector<JackknifeFigures>& figures) {
    figures.clear();
    const size_t n = sample.x.size();
    const size_t count = probabilities.size();
    std::vector<double> full(count);
    for (size_t k = 0; k < count; ++k)
        full[k] = whole.applicable() ? whole.rawQuantile(probabilities[k])
                                     : std::numeric_limits<double>::quiet_NaN();
    if (!std::all_of(full.begin(), full.end(), [](double v) { return std::isfinite(v); }))
        return JackknifeOutcome{JackknifeOutcome::Ending::OutOfRange, 0, {}};
    // values[k * n + j]: the value at probability k without value j.
    std::vector<double> values(count * n);
    JackknifeOutcome outcome =
        FitEachLeftOut(id, sample, alpha, whole, [&](size_t j, const FittedModel& model) {
            for (size_t k = 0; k < count; ++k) {
                values[k * n + j] = model.rawQuantile(probabilities[k]);
                if (!std::isfinite(values[k * n + j]))
                    return false;
            }
            return true;
        });
    if (!outcome.complete())
        return outcome;
    for (size_t k = 0; k < count; ++k) {
        const std::optional<JackknifeFigures> f =
            JackknifeOf(full[k], std::span<const double>(values).subspan(k * n, n));
        if (!f) {
            figures.clear();
            outcome.ending = JackknifeOutcome::Ending::OutOfRange;
            return outcome;
        }
        figures.push_back(*f);
    }
    return outcome;
}

JackknifeOutcome JackknifePeriods(ModelId id, const Sample& sample, double alpha,
                                  const FittedModel& whole, PeriodTable& periods) {
    std::vector<PeriodQuantiles> runs;
    JackknifeOutcome outcome = LeaveEachOut(id, sample, alpha, whole, runs);
    if (!outcome.complete())
        return outcome;
    const size_t n = sample.x.size();
    PeriodQuantiles full;
    QuantilesOf(whole, full);

    std::vector<double> leftOut(n);
    std::array<std::optional<JackknifeFigures>, 2 * kPeriodCount> figures;
    for (size_t k = 0; k < kPeriodCount; ++k) {
        for (size_t j = 0; j < n; ++j)
            leftOut[j] = runs[j].dry[k];
        figures[2 * k] = JackknifeOf(full.dry[k], leftOut);
        for (size_t j = 0; j < n; ++j)
            leftOut[j] = runs[j].wet[k];
        figures[2 * k + 1] = JackknifeOf(full.wet[k], leftOut);
        if (!figures[2 * k] || !figures[2 * k + 1]) {
            outcome.ending = JackknifeOutcome::Ending::OutOfRange;
            return outcome;
        }
    }
    for (size_t k = 0; k < kPeriodCount; ++k) {
        ReturnPeriodValues& p = periods[k];
        p.dryJackknife = figures[2 * k]->estimate;
        p.dryError = figures[2 * k]->error;
        p.wetJackknife = figures[2 * k + 1]->estimate;
        p.wetError = figures[2 * k + 1]->error;
    }
    return outcome;
}
