#pragma once

#include "formats/stepfile.h"
#include "statistics/seriesdata.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Annual series of several durations built from an array of the step: the largest window sums
// (rainfall), means (discharge, water level) or peaks, the smallest window means, and the
// flow-duration values of daily discharge.

enum class DurationAggregate { Sum, Mean, Max, Min };

struct Duration {
    QString label; // as given: "10min", "2h", "3d", or "q95" for a flow-duration value
    int minutes = 0;
    int flowDays = 0; // 95, 185, 275 or 355 for a flow-duration value, else 0
};

// "10min", "2h", "3d". Nothing for anything else.
std::optional<Duration> ParseDuration(const QString& text);
// "1h,2h,24h": each a whole multiple of the step. Throws DataError naming the first that is not.
QList<Duration> ParseDurationList(const QString& list, int stepMinutes);
// The durations the import window offers for a step.
QList<Duration> UsualDurations(int stepMinutes);
// The four flow-duration values: q95, q185, q275, q355.
QList<Duration> FlowDurations();
// "1 時間", "10 分", "3 日", "渇水流量（355 日）".
QString DurationName(const Duration& duration);
// A duration table's column label as a duration: "1h", "10min", "3d" or "q95".
std::optional<Duration> DurationOfLabel(const QString& label);

struct DurationOptions {
    QList<Duration> durations;
    std::optional<DurationAggregate> aggregate; // nothing: by the item
    bool crossYear = false;
    int yearStartMonth = 1;
    double coverage = 80;
    std::optional<int> fromYear;
    std::optional<int> toYear;
};

// Sum for rainfall (and a file that names no item), mean for every other item.
DurationAggregate DefaultAggregate(StepItem item);
QString AggregateKey(DurationAggregate aggregate); // "sum", "mean", "max", "min"

struct DurationYear {
    int year = 0;
    double value = 0;
    bool included = false;
    qint64 end = -1;      // the end of the window the value came from, in minutes; -1 for none
    qint64 present = 0;   // intervals of the year that hold a value
    qint64 intervals = 0; // intervals the year has
    QString note;         // why the year is left out
};

struct DurationSeries {
    Duration duration;
    SeriesKind kind = SeriesKind::AnnualMaximum;
    QList<DurationYear> years; // every year of the period, in order
    int includedCount() const;
};

// Where the series came from, as the JSON of the table tells it.
struct DurationSource {
    QString file;
    QString format;
    QString station;
    QString item;
    QString unit;
    int stepMinutes = 60;
    DurationAggregate aggregate = DurationAggregate::Sum;
    int yearStartMonth = 1;
    bool crossYear = false;
    double coverage = 80;
};

struct DurationTable {
    DurationSource source;
    QList<DurationSeries> series;
};

// Throws DataError for a duration that is no multiple of the step, flow-duration values of
// anything but daily discharge, an empty period and options out of range.
DurationTable BuildDurations(const StepSeries& steps, const DurationOptions& options,
                             const QString& file = QString());

// The end of a maximum's window as shown: "2016-01-02 00:00", a day's date for a daily step.
QString WindowEndText(qint64 end, int stepMinutes);

// The table as CSV: "year,1h,2h" then one line a year, empty where a year is left out; CR LF.
QByteArray DurationTableCsv(const DurationTable& table);
// Everything: the source, and for each duration its years, values, end times and left-out years.
QByteArray DurationTableJson(const DurationTable& table);

// The series of one duration as the analysis takes it.
SeriesData DurationSeriesData(const DurationTable& table, int index);

// The title of the value axis for one duration's series: "年最大1時間降水量　(mm)",
// "年最大1日平均流量　(m3/s)", "渇水流量（355 日）　(m3/s)".
QString DurationAxisTitle(const DurationTable& table, int index);
// The same for a column of a duration table read back, which names only its duration: a
// duration is taken as rainfall in millimetres, as the program's default title takes any
// series, and a flow-duration value as discharge of no known unit. Empty for another label.
QString DurationLabelAxisTitle(const QString& label);

// A duration table read back: the header "year,..." then one line a year.
struct DurationTableFile {
    QStringList labels;
    QList<SeriesData> series; // one per label
};
// True when the first line is a duration table's header: "year," and at least one label.
bool IsDurationTable(QByteArrayView bytes);
// Throws DataError with the line and the problem.
DurationTableFile ParseDurationTable(QByteArrayView bytes);
DurationTableFile ReadDurationTable(const QString& path);
