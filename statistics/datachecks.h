#pragma once

#include "statistics/seriesdata.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

// Below this many records the checks say nothing.
inline constexpr int kChecksMinRecords = 10;
// The level the sentences judge at.
inline constexpr double kChecksLevel = 0.05;

// Mann–Kendall's trend test on values in year order.
struct MannKendall {
    int64_t s = 0;       // Σ_{i<j} sgn(x_j − x_i)
    double variance = 0; // Var(S), corrected for groups of equal values
    double z = 0;        // (S − sgn S) / √Var(S); 0 when S is 0
    double p = 1;        // two-sided, 2(1 − Φ(|z|))
};

// Pettitt's change-point test on values in year order.
struct Pettitt {
    int64_t k = 0;    // max |U_t| over t = 1 … n−1
    int32_t year = 0; // the year of x_t at the first t where |U_t| reaches K
    double p = 1;     // min(1, 2 exp(−6K² / (n³ + n²)))
};

// The three checks of a series: a trend by Mann–Kendall, its size by Sen's slope, a shift by
// Pettitt.
struct DataChecks {
    MannKendall mannKendall;
    // The median of the slopes between records of different years, in the series' unit per
    // year; nothing when every record has the same year.
    std::optional<double> senSlope;
    Pettitt pettitt;
};

// The checks of a series, on its records sorted stably by year (file order within a year);
// nothing below kChecksMinRecords records.
std::optional<DataChecks> ComputeDataChecks(const SeriesData& series);

// The checks on their own, on values already in year order with their years beside them.
MannKendall MannKendallTest(std::span<const double> values);
std::optional<double> SenSlope(std::span<const int32_t> years, std::span<const double> values);
Pettitt PettittTest(std::span<const int32_t> years, std::span<const double> values);

// One plain sentence each, judged at the 5 % level: "5 % の有意水準で傾向は認められません" and
// the like.
QString TrendSentence(const MannKendall& test);
QString ChangePointSentence(const Pettitt& test);

// A real to three significant digits, in plain decimals: 2.35, 0.0412, 1230, −17.0.
QString ThreeSignificant(double value);
