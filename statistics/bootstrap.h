#pragma once

#include "statistics/curve.h"
#include "statistics/distributions.h"
#include "statistics/returnperiods.h"
#include "statistics/target.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class QThreadPool;

// SplitMix64: a 64-bit state advanced by a fixed odd constant and mixed on the way out. Because
// the state after k steps is seed + k·0x9E3779B97F4A7C15, the k-th output can be had without the
// k − 1 before it, which lets threads take any share of the draws and still see the one sequence.
class SplitMix64 {
public:
    explicit SplitMix64(uint64_t seed)
        : state_(seed) {}
    uint64_t next();
    // ((next() >> 11) + 0.5) · 2⁻⁵³: always inside (0, 1).
    double uniform();
    // The index-th output of a generator seeded with seed (index 1 is the first next()).
    static uint64_t output(uint64_t seed, uint64_t index);
    static double uniformAt(uint64_t seed, uint64_t index);

private:
    uint64_t state_;
};

// The p-quantile of sorted values by linear interpolation between order statistics (R's type 7,
// numpy's default); sorted must not be empty.
double Type7Quantile(std::span<const double> sorted, double p);

enum class ResampleKind { Data, Parametric };
enum class IntervalKind { Percentile, Bca };

// The settings of one bootstrap; they travel with its figures so a reader can reproduce them.
struct BootstrapSettings {
    int replicates = 1000;
    uint64_t seed = 1;
    double level = 0.90;
    ResampleKind kind = ResampleKind::Data;
    // The interval the charts draw and the CSV carries.
    IntervalKind interval = IntervalKind::Percentile;
    bool operator==(const BootstrapSettings&) const = default;
};
inline constexpr int kMinReplicates = 100;
inline constexpr int kMaxReplicates = 100000;
inline constexpr double kMinLevel = 0.50;
inline constexpr double kMaxLevel = 0.99;
// Fewer successful resamples than this share of B leave a model without figures.
inline constexpr double kLeastFittedShare = 0.90;

// "resample" or "parametric", as the JSON names them.
const char* ResampleKindKey(ResampleKind kind);
// "percentile" or "bca".
const char* IntervalKindKey(IntervalKind kind);
// In the window's words.
QString ResampleKindName(ResampleKind kind);
QString IntervalKindName(IntervalKind kind);

struct Interval {
    double low = 0;
    double high = 0;
};

// The bootstrap figures of one value (one model, period and side); each is missing when it does
// not exist (a BCa interval whose bias or acceleration cannot be had, a figure past the largest
// double).
struct BootstrapFigures {
    std::optional<double> mean;
    std::optional<double> error;
    std::optional<Interval> percentile;
    std::optional<Interval> bca;

    const std::optional<Interval>& interval(IntervalKind kind) const {
        return kind == IntervalKind::Bca ? bca : percentile;
    }
};

struct BootstrapPeriod {
    int period = 0;
    BootstrapFigures dry;
    BootstrapFigures wet;
};

// An interval over the periods on probability paper: its ends at the dry values' deviates from
// the 1-in-200 dry year up, then at the wet values' up to the 1-in-200 wet year; a missing figure
// breaks the curve there.
struct IntervalBand {
    Curve low;
    Curve high;
};

struct ModelBootstrap {
    // B_ok: the resamples the model could be fitted to.
    int fitted = 0;
    // Why the model has no figures; empty when it has them.
    QString problem;
    std::array<BootstrapPeriod, kPeriodCount> periods{};
    // The percentile and BCa intervals as the charts draw them, made with the figures.
    IntervalBand percentileBand;
    IntervalBand bcaBand;

    const IntervalBand& band(IntervalKind kind) const {
        return kind == IntervalKind::Bca ? bcaBand : percentileBand;
    }
    bool hasFigures() const { return problem.isEmpty(); }
    const BootstrapPeriod* period(int years) const;
    // The bootstrap error of the target, if there is one.
    std::optional<double> targetError(Target target) const;
};

struct BootstrapResult {
    BootstrapSettings settings;
    // In the order of kModels.
    std::array<ModelBootstrap, kModelCount> models;

    const ModelBootstrap& model(ModelId id) const { return models[static_cast<size_t>(id)]; }
};

// What a run needs from the study: copied, so the run may go on off the interface thread while
// the study is replaced.
struct BootstrapInput {
    // The series in the order of the file.
    std::vector<double> values;
    double alpha = 0.5;
    // Each model's fit to every value; the page's line as the line at the exact normal scores.
    // A model that is not applicable gets no figures, with its problem.
    std::array<FittedModel, kModelCount> models;
};

// A run's progress, read by another thread, and its cancel request.
struct BootstrapProgress {
    std::atomic<bool> cancelled{false};
    std::atomic<int> done{0};
    std::atomic<int> total{0};
};

// Every model's bootstrap: B resamples of the data (or of each fitted model), the models fitted
// to each, and for every period and side the mean, the error, the percentile and BCa intervals.
// The work is shared over pool (the global pool when none is given); the figures are the same for
// any number of threads. Nothing when progress asks for a cancel before the end.
std::optional<BootstrapResult> ComputeBootstrap(const BootstrapInput& input,
                                                const BootstrapSettings& settings,
                                                BootstrapProgress* progress = nullptr,
                                                QThreadPool* pool = nullptr);

// What a setting out of its range is told; empty when the settings are usable.
QString BootstrapSettingsProblem(const BootstrapSettings& settings);
