#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

// Observation files of values at a fixed step (10, 20, 30 or 60 minutes, or a day): the
// Meteorological Agency's hourly CSV, the river bureau's hydrological database files (hourly and
// daily .dat) and any delimited text of dated values. Each is read in one pass into one array of
// the step.

// 100 years of 10-minute values with their quality columns are about 250 MB.
inline constexpr qint64 kLargestStepFile = 512LL * 1024 * 1024;
// Intervals an array may span: 200 years of 10-minute values.
inline constexpr qint64 kMostStepIntervals = 200LL * 366 * 144;

enum class StepFormat { AgencyHourly, RiverHourly, RiverDaily, Delimited };
enum class StepItem { Rainfall, Discharge, WaterLevel, Other };

struct StepReadOptions {
    // The file's stamps give the start of each interval instead of its end (Agency and delimited
    // files; the river bureau's files say which hour each value covers).
    bool stampAtStart = false;
    int valueColumn = -1; // from 0; -1 for the detected one (Agency and delimited files)
};

// Minutes are counted from 0:00 of Julian day 0: a stamp is JulianDay × 1440 + minutes of the day.
struct StepSeries {
    StepFormat format = StepFormat::Delimited;
    QString encodingName;
    QString station;     // the station's name, empty when the file does not say
    QString stationCode; // the river bureau's 観測所記号
    QString item;        // "降水量(mm)", "流量" and the like; empty without a header
    QString unit;        // "mm", "m3/s", "m"; empty when unknown
    StepItem itemKind = StepItem::Other;
    int stepMinutes = 60;
    qint64 firstStart = 0;      // the start of the interval values[0] covers, in minutes
    std::vector<double> values; // NaN where the interval is missing
    int decimals = 0;           // the most places a value of the file has
    // Counted for the warnings: provisional values kept, other flags kept, cells that were text.
    qint64 provisional = 0;
    QStringList otherFlags;
    qint64 textCells = 0;
    int firstTextLine = 0;
    QStringList valueColumns;      // Agency and delimited files: the columns a value can come from
    QList<int> valueColumnIndexes; // the same columns' places in the file (from 0)
    int valueColumn = -1;

    qint64 presentCount() const;
    // The start and end of the interval values[i] covers.
    qint64 startOf(qint64 i) const { return firstStart + i * stepMinutes; }
};

// True when the first lines are those of a file this reader is for, rather than daily, monthly
// or yearly values for the annual import: the river bureau's files, and Agency or delimited files
// whose stamps carry a time of day.
bool IsStepFile(QByteArrayView head);

// Throws DataError with the line and the problem.
StepSeries ParseStepFile(QByteArrayView bytes, const StepReadOptions& options = {});
// Reads the file in pieces, never holding its text. Throws DataError naming the file.
StepSeries ReadStepFile(const QString& path, const StepReadOptions& options = {});

// "気象庁の時別値", "水文水質データベースの時刻流量月表" and the like.
QString StepFormatName(const StepSeries& series);
// "10 分", "1 時間", "1 日".
QString StepName(int minutes);
// The warnings the read leaves: provisional values, unknown flags, text cells.
QStringList StepReadWarnings(const StepSeries& series);
// "2016-01-02 00:00"
QString StampText(qint64 minutes);
