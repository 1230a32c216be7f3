#pragma once

#include "formats/textencoding.h"
#include "statistics/seriesdata.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Observation files as they are downloaded (the Meteorological Agency's CSV, a spreadsheet's
// export, any delimited text of dated values) turned into an annual series.

// The Agency's daily files for 150 years are about 3 MB; several stations in one file multiply
// that. Anything larger was picked by mistake.
inline constexpr qint64 kLargestImportFile = 32 * 1024 * 1024;

enum class ImportPeriod { Year, Month, Day };

// What a value column's option column says about its value.
enum class ImportOption { None, NoPhenomenon, Quality, Homogeneity, SpanStart, SpanEnd };

// The option a column heading names ("品質情報" and the like), None for any other heading.
ImportOption ImportOptionNamed(const QString& cell);

struct ImportColumn {
    int index = 0; // from 0; the file shows it as index + 1
    QString label; // the header cells above it, or "N 列目" without a header
    QString item;  // the item name alone ("降水量の合計(mm)"), empty without a header
};

// What the reader found in the file.
struct ImportLayout {
    QString encodingName;
    // ',', '\t', ';' or ' ' (a run of blanks).
    QChar delimiter = QLatin1Char(',');
    bool agency = false;  // the Agency's download, told by its first line
    int headerLines = 0;  // lines above the first dated row
    int dateColumn = -1;  // the year, or the whole date
    int monthColumn = -1; // separate month and day columns, when the file has them
    int dayColumn = -1;
    ImportPeriod period = ImportPeriod::Year;
    QList<ImportColumn> valueColumns; // every column that is neither date nor option
    QList<ImportOption> options;      // per column: what an option column tells, else None
    int defaultValueColumn = -1;      // the first of them that holds a number
    int columnCount = 0;
};

// A decoded file split into fields.
struct ImportSource {
    QStringList lines;
    QList<QStringList> fields; // per line
    ImportLayout layout;       // as detected
};

enum class ImportAggregate { Sum, Max };

struct ImportOptions {
    int dateColumn = -1;  // from 0; -1 for the detected one
    int valueColumn = -1; // from 0; -1 for the detected one
    ImportAggregate aggregate = ImportAggregate::Sum;
    int days = 1;           // the largest sum of this many consecutive days (Max, daily rows)
    int yearStartMonth = 1; // the year is labelled by the calendar year it starts in
    // An n-day window may begin in the year before the one its last day lies in.
    bool crossYear = false;
    double coverage = 80; // per cent of the year's days (or months) that must be valid
    std::optional<int> fromYear;
    std::optional<int> toYear;
};

struct AnnualRow {
    int year = 0;
    double value = 0;
    bool included = false;
    int validCount = 0;  // valid days, months or years
    int periodCount = 0; // days, months or years the year has
    QString note;        // why a year is left out
};

struct AnnualSeries {
    ImportLayout layout; // with the columns the series was built from
    ImportColumn valueColumn;
    QList<AnnualRow> rows; // every year of the period, in order
    int includedCount() const;
};

// Decodes and splits the bytes and detects the layout. Throws DataError when the bytes are not
// text or hold no dated rows.
ImportSource ParseImportSource(QByteArrayView bytes);
// Reads a regular file of at most kLargestImportFile bytes. Throws DataError naming the file.
ImportSource ReadImportSource(const QString& path);

// The layout when the date is in another column than the detected one (from 0).
ImportLayout DetectImportLayout(const ImportSource& source, int dateColumn = -1);

// Reads every dated row of the chosen column and builds the annual series. Throws DataError
// naming the line for a date that repeats, goes backwards or does not exist, a column without
// numbers, a choice the rows cannot give, and a series of more than kMaxRecords years.
AnnualSeries BuildAnnualSeries(const ImportSource& source, const ImportOptions& options);

// "降水量の合計(mm)" as an axis title: "降水量の合計　(mm)".
QString AxisTitleFromItem(const QString& item);

// The title of the value axis for what the import built, with the unit: "年降水量　(mm)",
// "年最大日降水量　(mm)", "年最大2日降水量　(mm)"; empty when the column has no item.
QString ImportedAxisTitle(const AnnualSeries& series, const ImportOptions& options);

// The included years as a series with what the import knew of it: its kind (maxima or totals),
// item and unit, the observation file, what was built and the years left out.
SeriesData ImportedSeriesData(const AnnualSeries& series, const ImportOptions& options,
                              const QString& observationFile);
// "年最大 2 日降水量の合計" and the like: the kind, the days and the item in a few words.
QString ImportedSeriesDescription(const AnnualSeries& series, const ImportOptions& options);

// The included years as "year,value" lines ending in CR LF.
QByteArray AnnualSeriesCsv(const AnnualSeries& series);
// The included years in the editor's layout: three spaces, the year, three spaces, the value,
// lines joined by CR LF.
QString AnnualSeriesEditorText(const AnnualSeries& series);
// The records of a series in the same layout.
QString SeriesEditorText(const SeriesData& series);
// Why a year was left out, for a message: "1990 年：…".
QString LeftOutText(const AnnualRow& row);
// "年", "月" or "日".
QString ImportPeriodName(ImportPeriod period);
// "有効日数" and the like for the series' period.
QString ValidCountHeading(ImportPeriod period);
