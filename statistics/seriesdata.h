#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// Largest series the program holds: indices 0..256.
inline constexpr int kMaxRecords = 257;
// The deviate table has indices 0..512; only 0..499 are ever loaded.
inline constexpr int kDeviateTableSize = 513;
inline constexpr int kDeviateTableLoaded = 500;

using DeviateTable = std::array<double, kDeviateTableSize>;

inline const QString kDefaultAxisTitle = QStringLiteral("降水量　(mm)");

// What the values of a series are: the annual totals a data file holds by default (their dry
// and wet years), or the largest or smallest value of each year that an import built.
enum class SeriesKind { AnnualTotal, AnnualMaximum, AnnualMinimum };

// "年合計値", "年最大値", "年最小値".
QString SeriesKindName(SeriesKind kind);

// What is known of a series beyond its records. A data file tells only its values; an import
// knows the item, the unit, what it built and which years it left out.
struct SeriesOrigin {
    SeriesKind kind = SeriesKind::AnnualTotal;
    QString item;                // "降水量の合計" and the like; empty when unknown
    QString unit;                // "mm"; empty when unknown
    QString observationFile;     // the file the import read; empty for a data file
    QString built;               // what the import built, in a line of words
    QStringList leftOut;         // "1990 年：…" for each year the import left out
    QList<int32_t> leftOutYears; // the same years, in the same order
    QString station;             // the observation station, when the file names it
    // When each record's value was reached ("2016-01-02 00:00", the end of the maximum's
    // window), in the order of the records; empty when the import does not know.
    QStringList valueTimes;
};

// A series as read from an annual data file, or as an import built it.
struct SeriesData {
    int32_t recordCount = 0;
    std::array<int32_t, kMaxRecords> years{};
    std::array<double, kMaxRecords> values{};
    SeriesOrigin origin;
};

// The texts of the four statistics boxes, in the default real-to-text form.
struct ResultTexts {
    QString arithMean; // Text9
    QString geoMean;   // Text2: 10^logMean
    QString maximum;   // Text3: 10^logMax
    QString minimum;   // Text4: 10^logMin
};

// Everything one analysis produces from a series and an alpha.
struct AnalysisResult {
    std::array<double, kMaxRecords> logValues{};
    std::array<int32_t, kMaxRecords> ranks{};
    std::array<double, kMaxRecords> probabilities{};
    std::array<double, kMaxRecords> deviates{};
    double logMax = 0;
    double logMin = 0;
    double arithMean = 0;
    double logMean = 0;
    double slope = 0;
    double logOffset10 = 0;
    double logOffset100 = 0;
    ResultTexts texts;
};
