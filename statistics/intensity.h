#pragma once

#include "statistics/distributions.h"
#include "statistics/seriesdata.h"
#include "statistics/study.h"

#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

// The T-year rainfall of several durations of one station, and the rainfall intensity formulas
// fitted to their intensities.

// The periods of rainfall by duration: the results' periods and the 7 years drainage design
// takes.
inline constexpr std::array<int, 12> kRainfallPeriods{2,  3,  5,  7,   10,  20,
                                                      30, 50, 80, 100, 150, 200};
inline constexpr size_t kRainfallPeriodCount = kRainfallPeriods.size();

// The formulas need this many durations, and by default take those up to a day.
inline constexpr size_t kMinFitDurations = 3;
inline constexpr int kDefaultLongestFitMinutes = 1440;

// A depth of rainfall in mm over a duration of `minutes` as an intensity in mm/h.
inline double IntensityOf(double depth, int minutes) {
    return depth * 60 / minutes;
}

// One column of a duration table: its label, its length and its annual series.
struct DurationColumn {
    QString label; // "10min", "1h"
    int minutes = 0;
    SeriesData series;
};

// One period of one duration. Nothing where the duration has no values; the error and upper
// value are also missing where the model has no jackknife.
struct RainfallPeriod {
    int period = 0;
    std::optional<double> depth;     // R_T(D) = x(1 − 1/T), mm
    std::optional<double> intensity; // R_T(D) × 60 / t, mm/h
    std::optional<double> error;     // the jackknife error S_J of the depth
    std::optional<double> upper;     // R_T(D) + S_J
};

struct DurationRainfall {
    QString label;
    int minutes = 0;
    // The study of the duration's series; nothing when the series cannot be analysed.
    std::optional<Study> study;
    // The model the values come from and its SLSC; nothing when there are no values.
    std::optional<ModelId> model;
    std::optional<double> slsc;
    // Why there are no values, or why they have no errors; empty when all are there.
    QString problem;
    std::array<RainfallPeriod, kRainfallPeriodCount> periods{};

    bool hasValues() const { return model.has_value(); }
};

struct RainfallSettings {
    StudySettings study;
    // One model for every duration; nothing takes each duration's selected model.
    std::optional<ModelId> model;
};

// The duration's values from its study: the selected model's (or the fixed one's) wet values at
// every period, with the jackknife of the 7-year value computed here, as the study does for its
// other periods.
DurationRainfall RainfallOfStudy(Study study, const QString& label, int minutes,
                                 std::optional<ModelId> model = std::nullopt);
// The column studied with settings, then its values. A series that cannot be analysed gives a
// duration without values, with the reason.
DurationRainfall ComputeDurationRainfall(const DurationColumn& column,
                                         const RainfallSettings& settings,
                                         const DeviateTable& table);

// The intensity formulas, in the order every table shows them.
enum class IntensityFormula { Talbot, KunoIshiguro, Sherman, Cleveland, Characteristic };
inline constexpr std::array<IntensityFormula, 5> kIntensityFormulas{
    IntensityFormula::Talbot, IntensityFormula::KunoIshiguro, IntensityFormula::Sherman,
    IntensityFormula::Cleveland, IntensityFormula::Characteristic};
inline constexpr size_t kIntensityFormulaCount = kIntensityFormulas.size();

// "talbot", "kuno_ishiguro", "sherman", "cleveland", "characteristic".
const char* IntensityFormulaKey(IntensityFormula formula);
// "タルボット型", "久野・石黒型", "シャーマン型", "クリーブランド型", "特性係数法".
QString IntensityFormulaName(IntensityFormula formula);
// "I = a / (t + b)" and the like.
QString IntensityFormulaText(IntensityFormula formula);
// Which constants the formula has: b for all but Sherman's, n for Sherman's and Cleveland's.
bool FormulaHasB(IntensityFormula formula);
bool FormulaHasN(IntensityFormula formula);

// Cleveland's n is sought on this grid: 0.300, 0.301, … 1.500.
inline constexpr int kClevelandLowestMillis = 300;
inline constexpr int kClevelandHighestMillis = 1500;

// One T-year intensity: the duration in minutes and the intensity in mm/h.
struct IntensityPoint {
    int minutes = 0;
    double intensity = 0;
};

// One formula fitted to the intensities of one period.
struct FormulaFit {
    IntensityFormula formula = IntensityFormula::Talbot;
    // The constants the formula has; nothing for the others and when it is not applicable.
    std::optional<double> a;
    std::optional<double> b;
    std::optional<double> n;
    // The root mean square of I − Î over the durations, and the largest |I − Î| / I.
    std::optional<double> rmse;
    std::optional<double> maxRelativeError;
    bool best = false; // the least root mean square of the period
    // Why the formula is not applicable; empty when it is.
    QString problem;

    bool applicable() const { return problem.isEmpty(); }
    // Î(t) in mm/h; nothing when the formula is not applicable or has no finite value there.
    std::optional<double> intensityAt(double minutes) const;
};

// The formula fitted to points (distinct durations, intensities > 0) by its own rule, with its
// fit measures; not applicable, with the reason, when it cannot be. Never throws.
FormulaFit FitIntensityFormula(IntensityFormula formula, std::span<const IntensityPoint> points);
// Every formula fitted, the best one marked. Fewer than three points: none is applicable.
std::array<FormulaFit, kIntensityFormulaCount>
FitIntensityFormulas(std::span<const IntensityPoint> points);

struct PeriodFormulas {
    int period = 0;
    std::array<FormulaFit, kIntensityFormulaCount> fits{};
};

// Everything the intensity figures of one station are: each duration's T-year values and, for
// each period, the formulas fitted to the chosen durations.
struct IntensityStudy {
    std::vector<DurationRainfall> durations;
    std::vector<size_t> fitted; // indices into durations, in the order chosen
    std::array<PeriodFormulas, kRainfallPeriodCount> formulas{};
};

// The formulas of every period over the durations at fitted. A period at which a fitted duration
// has no value has no formula, with the duration named.
std::array<PeriodFormulas, kRainfallPeriodCount>
FitPeriodFormulas(const std::vector<DurationRainfall>& durations, std::span<const size_t> fitted);

// The durations to fit by default: those up to a day, in the table's order.
std::vector<size_t> DefaultFitDurations(std::span<const DurationColumn> columns);

// Each column studied, then the formulas over the columns at fitted. Throws DataError for
// fewer than three fitted durations or two of the same length, naming them.
IntensityStudy ComputeIntensityStudy(std::span<const DurationColumn> columns,
                                     std::span<const size_t> fitted,
                                     const RainfallSettings& settings, const DeviateTable& table);
