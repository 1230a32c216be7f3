#include "statistics/bootstrap.h"

#include "statistics/distributionfits.h"
#include "statistics/mathfunctions.h"
#include "statistics/numeric.h"
#include "statistics/resampling.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>

namespace {

constexpr uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ULL;

uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double UniformOf(uint64_t bits) {
    return (static_cast<double>(bits >> 11) + 0.5) * 0x1.0p-53;
}

// Each resample gives every period's dry and wet value: 2 · kPeriodCount figures, the dry value of
// period k at 2k and the wet one at 2k + 1.
constexpr size_t kFigureCount = 2 * kPeriodCount;

void StoreFigures(const PeriodQuantiles& q, std::array<double, kFigureCount>& figures) {
    for (size_t k = 0; k < kPeriodCount; ++k) {
        figures[2 * k] = q.dry[k];
        figures[2 * k + 1] = q.wet[k];
    }
}

// A share of the resamples: of one model (parametric) or of all of them (resampling the data).
struct Chunk {
    int model = -1;
    int from = 0;
    int to = 0;
};
constexpr int kChunkResamples = 32;

// The figures of every model and resample, θ*[model][figure · B + b]; NaN marks a resample the
// model could not be fitted to.
using Replicates = std::array<std::vector<double>, kModelCount>;

class Run {
public:
    Run(const BootstrapInput& input, const BootstrapSettings& settings, BootstrapProgress* progress)
        : input_(input)
        , settings_(settings)
        , progress_(progress)
        , n_(input.values.size())
        , scores_(NormalScores(n_, input.alpha)) {
        for (size_t m = 0; m < kModelCount; ++m)
            if (input_.models[m].applicable())
                theta_[m].assign(kFigureCount * static_cast<size_t>(settings.replicates), NAN);
    }

    std::vector<Chunk> chunks() const {
        std::vector<Chunk> chunks;
        const auto share = [&](int model) {
            for (int b = 0; b < settings_.replicates; b += kChunkResamples)
                chunks.push_back({model, b, std::min(settings_.replicates, b + kChunkResamples)});
        };
        if (settings_.kind == ResampleKind::Data) {
            share(-1);
        } else {
            for (size_t m = 0; m < kModelCount; ++m)
                if (input_.models[m].applicable())
                    share(static_cast<int>(m));
        }
        return chunks;
    }

    void work(const Chunk& chunk) {
        std::vector<double> resample(n_);
        SampleArrays arrays(resample, input_.alpha);
        // Every resample of one size shares the plotting positions' scores.
        arrays.scores = scores_;
        for (int b = chunk.from; b < chunk.to; ++b) {
            if (progress_ && progress_->cancelled.load(std::memory_order_relaxed))
                return;
            if (chunk.model < 0) {
                if (draw(b, nullptr, resample, arrays))
                    for (size_t m = 0; m < kModelCount; ++m)
                        fit(m, b, arrays.of(resample));
            } else {
                const size_t m = static_cast<size_t>(chunk.model);
                if (draw(b, &input_.models[m], resample, arrays))
                    fit(m, b, arrays.of(resample));
            }
            if (progress_)
                progress_->done.fetch_add(1, std::memory_order_relaxed);
        }
    }

    const Replicates& replicates() const { return theta_; }

private:
    // Resample b, sorted, into resample and its arrays: the data at the drawn positions, or the
    // model's values at the draws. False when a value is not a positive finite number (a fitted
    // model can reach below zero), which no model can be fitted to.
    bool draw(int b, const FittedModel* model, std::vector<double>& resample,
              SampleArrays& arrays) const {
        const uint64_t first = static_cast<uint64_t>(b) * n_;
        for (size_t i = 0; i < n_; ++i) {
            const double u = SplitMix64::uniformAt(settings_.seed, first + i + 1);
            if (model) {
                resample[i] = model->rawQuantile(u);
            } else {
                // u·N can round up to N for the largest draws; the draw means position N − 1.
                const size_t k = std::min(static_cast<size_t>(u * static_cast<double>(n_)), n_ - 1);
                resample[i] = input_.values[k];
            }
            if (!(std::isfinite(resample[i]) && resample[i] > 0))
                return false;
        }
        std::sort(resample.begin(), resample.end());
        arrays.refill(resample);
        return true;
    }

    void fit(size_t m, int b, const Sample& sample) {
        const FittedModel& whole = input_.models[m];
        if (!whole.applicable())
            return;
        const FittedModel model = FitSample(whole.id(), sample, input_.alpha, &whole);
        PeriodQuantiles q;
        if (!model.applicable() || !QuantilesOf(model, q))
            return;
        std::array<double, kFigureCount> figures;
        StoreFigures(q, figures);
        const size_t replicates = static_cast<size_t>(settings_.replicates);
        for (size_t f = 0; f < kFigureCount; ++f)
            theta_[m][f * replicates + static_cast<size_t>(b)] = figures[f];
    }

    const BootstrapInput& input_;
    const BootstrapSettings& settings_;
    BootstrapProgress* progress_;
    size_t n_;
    std::vector<double> scores_;
    Replicates theta_;
};

std::optional<double> Finite(double v) {
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

std::optional<Interval> IntervalOf(std::span<const double> sorted, double lowP, double highP) {
    const double low = Type7Quantile(sorted, lowP);
    const double high = Type7Quantile(sorted, highP);
    if (!std::isfinite(low) || !std::isfinite(high))
        return std::nullopt;
    return Interval{low, high};
}

// The acceleration of the BCa interval from the leave-one-out values of the figure.
std::optional<double> Acceleration(std::span<const double> leftOut) {
    double mean = 0;
    for (double v : leftOut)
        mean += v;
    mean /= static_cast<double>(leftOut.size());
    double squares = 0;
    double cubes = 0;
    for (double v : leftOut) {
        const double d = mean - v;
        squares += d * d;
        cubes += d * d * d;
    }
    if (squares == 0)
        return 0.0;
    const double a = cubes / (6 * std::pow(squares, 1.5));
    return Finite(a);
}

// The BCa interval at level from the sorted replicates, the whole series' figure and the
// acceleration.
std::optional<Interval> BcaInterval(std::span<const double> sorted, double whole,
                                    std::optional<double> acceleration, double level) {
    if (!acceleration || !std::isfinite(whole))
        return std::nullopt;
    double below = 0;
    double equal = 0;
    for (double v : sorted) {
        if (v < whole)
            ++below;
        else if (v == whole)
            ++equal;
    }
    const double p0 = (below + 0.5 * equal) / static_cast<double>(sorted.size());
    if (p0 <= 0 || p0 >= 1)
        return std::nullopt;
    const double z0 = StandardNormalQuantile(p0);
    const double a = *acceleration;
    std::array<double, 2> p{};
    const std::array<double, 2> q{(1 - level) / 2, (1 + level) / 2};
    for (size_t s = 0; s < 2; ++s) {
        const double w = z0 + StandardNormalQuantile(q[s]);
        if (1 - a * w <= 0)
            return std::nullopt;
        p[s] = StandardNormalCdf(z0 + w / (1 - a * w));
        if (!std::isfinite(p[s]))
            return std::nullopt;
    }
    return IntervalOf(sorted, p[0], p[1]);
}

BootstrapFigures FiguresOf(std::vector<double>& values, double whole,
                           std::optional<double> acceleration, double level) {
    BootstrapFigures figures;
    const models::Moments moments = models::MomentsOf(values);
    figures.mean = Finite(moments.mean);
    if (figures.mean)
        figures.error = Finite(moments.sd);
    std::sort(values.begin(), values.end());
    figures.percentile = IntervalOf(values, (1 - level) / 2, (1 + level) / 2);
    figures.bca = BcaInterval(values, whole, acceleration, level);
    return figures;
}

// The band of one kind of interval from a model's figures.
IntervalBand BandOf(const ModelBootstrap& model, IntervalKind kind) {
    IntervalBand band;
    std::optional<double> lastDeviate;
    auto add = [&](double F, const BootstrapFigures& figures) {
        const double deviate = StandardNormalQuantile(F);
        // The median year is the same point on both sides.
        if (lastDeviate == deviate)
            return;
        lastDeviate = deviate;
        const std::optional<Interval>& interval = figures.interval(kind);
        auto point = [&](double bound) -> std::optional<CurvePoint> {
            if (!interval || !(bound > 0))
                return std::nullopt;
            return CurvePoint{deviate, std::log10(bound)};
        };
        band.low.push_back(point(interval ? interval->low : 0));
        band.high.push_back(point(interval ? interval->high : 0));
    };
    for (size_t k = kPeriodCount; k-- > 0;)
        add(DryProbability(model.periods[k].period), model.periods[k].dry);
    for (const BootstrapPeriod& p : model.periods)
        add(WetProbability(p.period), p.wet);
    return band;
}

QString TooFewFittedText(int replicates, int failed) {
    return QStringLiteral("再標本 %1 個のうち %2 個で当てはめられません")
        .arg(replicates)
        .arg(failed);
}

// One model's summaries from its replicates.
ModelBootstrap Summarise(const BootstrapInput& input, const BootstrapSettings& settings, size_t m,
                         const std::vector<double>& theta, const Sample& whole) {
    ModelBootstrap result;
    for (size_t k = 0; k < kPeriodCount; ++k)
        result.periods[k].period = kReturnPeriods[k];
    const FittedModel& model = input.models[m];
    if (!model.applicable()) {
        result.problem = model.problem();
        return result;
    }
    const size_t replicates = static_cast<size_t>(settings.replicates);
    std::vector<size_t> fitted;
    for (size_t b = 0; b < replicates; ++b)
        if (!std::isnan(theta[b]))
            fitted.push_back(b);
    result.fitted = static_cast<int>(fitted.size());
    if (static_cast<double>(fitted.size()) < kLeastFittedShare * static_cast<double>(replicates) ||
        fitted.size() < 2) {
        result.problem = TooFewFittedText(settings.replicates, settings.replicates - result.fitted);
        return result;
    }
    PeriodQuantiles full;
    std::array<double, kFigureCount> wholeFigures;
    QuantilesOf(model, full);
    StoreFigures(full, wholeFigures);
    // The acceleration needs each figure with every value left out in turn; a model whose
    // leaving out fails has no BCa intervals.
    std::vector<PeriodQuantiles> runs;
    const bool jackknifed = LeaveEachOut(model.id(), whole, input.alpha, model, runs).complete();
    std::vector<double> values(fitted.size());
    std::vector<double> leftOut(runs.size());
    for (size_t f = 0; f < kFigureCount; ++f) {
        for (size_t i = 0; i < fitted.size(); ++i)
            values[i] = theta[f * replicates + fitted[i]];
        std::optional<double> acceleration;
        if (jackknifed) {
            for (size_t j = 0; j < runs.size(); ++j)
                leftOut[j] = f % 2 == 0 ? runs[j].dry[f / 2] : runs[j].wet[f / 2];
            acceleration = Acceleration(leftOut);
        }
        BootstrapPeriod& period = result.periods[f / 2];
        (f % 2 == 0 ? period.dry : period.wet) =
            FiguresOf(values, wholeFigures[f], acceleration, settings.level);
    }
    result.percentileBand = BandOf(result, IntervalKind::Percentile);
    result.bcaBand = BandOf(result, IntervalKind::Bca);
    return result;
}

} // namespace

uint64_t SplitMix64::next() {
    state_ += kGoldenGamma;
    return Mix(state_);
}

double SplitMix64::uniform() {
    return UniformOf(next());
}

uint64_t SplitMix64::output(uint64_t seed, uint64_t index) {
    return Mix(seed + index * kGoldenGamma);
}

double SplitMix64::uniformAt(uint64_t seed, uint64_t index) {
    return UniformOf(output(seed, index));
}

double Type7Quantile(std::span<const double> sorted, double p) {
    const size_t n = sorted.size();
    const double h = static_cast<double>(n - 1) * std::clamp(p, 0.0, 1.0);
    const size_t j = std::min(static_cast<size_t>(h), n - 1);
    const double fraction = h - static_cast<double>(j);
    const double next = j + 1 < n ? sorted[j + 1] : sorted[j];
    return fraction == 0 ? sorted[j] : sorted[j] + fraction * (next - sorted[j]);
}

const char* ResampleKindKey(ResampleKind kind) {
    return kind == ResampleKind::Parametric ? "parametric" : "resample";
}

const char* IntervalKindKey(IntervalKind kind) {
    return kind == IntervalKind::Bca ? "bca" : "percentile";
}

QString ResampleKindName(ResampleKind kind) {
    return kind == ResampleKind::Parametric ? QStringLiteral("パラメトリック")
                                            : QStringLiteral("データの再標本");
}

QString IntervalKindName(IntervalKind kind) {
    return kind == IntervalKind::Bca ? QStringLiteral("BCa 区間")
                                     : QStringLiteral("パーセンタイル区間");
}

const BootstrapPeriod* ModelBootstrap::period(int years) const {
    for (const BootstrapPeriod& p : periods)
        if (p.period == years)
            return &p;
    return nullptr;
}

std::optional<double> ModelBootstrap::targetError(Target target) const {
    const BootstrapPeriod* p = period(TargetPeriod(target));
    if (!p || !hasFigures())
        return std::nullopt;
    return TargetIsWet(target) ? p->wet.error : p->dry.error;
}

QString BootstrapSettingsProblem(const BootstrapSettings& settings) {
    if (settings.replicates < kMinReplicates || settings.replicates > kMaxReplicates)
        return QStringLiteral("再標本の回数は %1 から %2 の整数で指定してください。")
            .arg(kMinReplicates)
            .arg(kMaxReplicates);
    if (!(settings.level >= kMinLevel && settings.level <= kMaxLevel))
        return QStringLiteral("信頼水準は %1 から %2 の数で指定してください。")
            .arg(kMinLevel, 0, 'f', 2)
            .arg(kMaxLevel, 0, 'f', 2);
    return {};
}

std::optional<BootstrapResult> ComputeBootstrap(const BootstrapInput& input,
                                                const BootstrapSettings& settings,
                                                BootstrapProgress* progress, QThreadPool* pool) {
    BootstrapResult result;
    result.settings = settings;
    for (size_t m = 0; m < kModelCount; ++m)
        for (size_t k = 0; k < kPeriodCount; ++k)
            result.models[m].periods[k].period = kReturnPeriods[k];
    // The window and the command line keep B and L to their ranges; what is left to refuse
    // here is what has no figures at all.
    QString problem;
    if (settings.replicates < 2)
        problem =
            QStringLiteral("再標本が %1 個では誤差も区間も求められません").arg(settings.replicates);
    else if (!(settings.level > 0 && settings.level < 1))
        problem = QStringLiteral("信頼水準 %1 の区間はありません").arg(settings.level);
    else if (input.values.size() < 2)
        problem = QStringLiteral("データが 2 件以上ないと再標本を作れません");
    if (!problem.isEmpty()) {
        for (ModelBootstrap& model : result.models)
            model.problem = problem;
        return result;
    }

    Run run(input, settings, progress);
    std::vector<Chunk> chunks = run.chunks();
    if (progress) {
        int total = 0;
        for (const Chunk& c : chunks)
            total += c.to - c.from;
        progress->total = total;
        progress->done = 0;
    }
    QtConcurrent::blockingMap(pool ? pool : QThreadPool::globalInstance(), chunks,
                              [&run](const Chunk& chunk) {
                                  ClearUpperVectorState();
                                  run.work(chunk);
                              });
    if (progress && progress->cancelled)
        return std::nullopt;

    std::vector<double> sorted = input.values;
    std::sort(sorted.begin(), sorted.end());
    const SampleArrays arrays(sorted, input.alpha);
    const Sample whole = arrays.of(sorted);
    // Each model's summaries are its own; the models are summarised side by side.
    std::array<size_t, kModelCount> order{};
    for (size_t m = 0; m < kModelCount; ++m)
        order[m] = m;
    QtConcurrent::blockingMap(pool ? pool : QThreadPool::globalInstance(), order, [&](size_t& m) {
        ClearUpperVectorState();
        result.models[m] = Summarise(input, settings, m, run.replicates()[m], whole);
    });
    return result;
}
