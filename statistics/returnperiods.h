#pragma once

#include <array>
#include <optional>

// Return periods in years, from the median year to the 1-in-200 year.
inline constexpr std::array<int, 11> kReturnPeriods{2, 3, 5, 10, 20, 30, 50, 80, 100, 150, 200};
inline constexpr size_t kPeriodCount = kReturnPeriods.size();

// The dry value of a return period of T years is exceeded by all but one year in T, the wet
// value by one year in T: their non-exceedance probabilities are 1/T and 1 − 1/T.
inline double DryProbability(int years) {
    return 1 / static_cast<double>(years);
}
inline double WetProbability(int years) {
    return 1 - 1 / static_cast<double>(years);
}

// The return period of `period` years falls beyond twice the record length.
inline bool IsExtrapolation(int period, int recordCount) {
    return period > 2 * recordCount;
}

// The figures of one return period of one fitted line or model.
struct ReturnPeriodValues {
    int period = 0;
    // Where the dry and wet values stand on the paper: z(1/T) and z(1 − 1/T). The page's line
    // takes the table's deviates for T = 10 and 100 (its offsets), the exact normal quantile for
    // the other periods; the models take the exact quantile throughout.
    double dryDeviate = 0;
    double wetDeviate = 0;
    double dry = 0; // x(1/T)
    double wet = 0; // x(1 − 1/T)
    // The jackknife estimates and standard errors, where the jackknife exists.
    std::optional<double> dryJackknife;
    std::optional<double> wetJackknife;
    std::optional<double> dryError;
    std::optional<double> wetError;
    bool extrapolation = false; // T above twice the record length
};

using PeriodTable = std::array<ReturnPeriodValues, kPeriodCount>;

// Every return period in order with its extrapolation mark, its figures still to come.
inline PeriodTable EmptyPeriods(int recordCount = 0) {
    PeriodTable periods{};
    for (size_t k = 0; k < kPeriodCount; ++k) {
        periods[k].period = kReturnPeriods[k];
        periods[k].extrapolation = IsExtrapolation(kReturnPeriods[k], recordCount);
    }
    return periods;
}

// The period of `years` years in a table; nullptr for none.
inline const ReturnPeriodValues* FindPeriod(const PeriodTable& periods, int years) {
    for (const ReturnPeriodValues& p : periods)
        if (p.period == years)
            return &p;
    return nullptr;
}
