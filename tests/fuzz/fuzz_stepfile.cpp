// The readers of hourly, 10-minute and river-database files and the durations built from them:
// whatever the bytes, they are read or refused with a message; a table built from them keeps its
// promises (finite values, years in order, a CSV that reads back as the same series).

#include "formats/durations.h"
#include "formats/stepfile.h"
#include "formats/textencoding.h"
#include "fuzzcheck.h"
#include "statistics/dataerror.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The Shift-JIS converter lives for the run; opened here it stays out of the leak check.
    (void)DecodeEditorBytes("\x82\xa0");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // The first byte picks the choices, the rest is the file.
    const uint8_t pick = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    StepReadOptions read;
    read.stampAtStart = pick & 1;
    StepSeries steps;
    if (!CatchOnly<DataError>("ParseStepFile", [&] { steps = ParseStepFile(bytes, read); }))
        return 0;
    Require(!steps.values.empty(), "a series read without values");
    Require(qint64(steps.values.size()) <= kMostStepIntervals, "more intervals than allowed");
    MustNotThrow("IsStepFile", [&] { (void)IsStepFile(bytes); });
    DurationOptions options;
    options.aggregate = DurationAggregate((pick >> 1) & 3);
    options.crossYear = pick & 8;
    options.yearStartMonth = 1 + (pick >> 4) % 12;
    options.coverage = (pick & 16) ? 0 : 80;
    const int step = steps.stepMinutes;
    options.durations = {Duration{QStringLiteral("a"), step, 0},
                         Duration{QStringLiteral("b"), step * (1 + (pick >> 5)), 0}};
    if (options.durations[1].minutes == step)
        options.durations.removeLast();
    DurationTable table;
    if (!CatchOnly<DataError>("BuildDurations", [&] { table = BuildDurations(steps, options); }))
        return 0;
    for (const DurationSeries& series : table.series) {
        for (qsizetype i = 1; i < series.years.size(); ++i)
            Require(series.years[i].year == series.years[i - 1].year + 1,
                    "years not one after another");
        for (const DurationYear& year : series.years) {
            Require(!year.included || std::isfinite(year.value), "a year taken without a value");
            Require(year.present <= year.intervals, "more values than intervals",
                    QString::number(year.year));
            Require(!year.included || year.end > 0, "a maximum without its end");
        }
    }
    DurationTableFile back;
    if (!CatchOnly<DataError>("ParseDurationTable",
                              [&] { back = ParseDurationTable(DurationTableCsv(table)); }))
        return 0; // more years than a series holds
    for (qsizetype c = 0; c < table.series.size(); ++c)
        Require(back.series[c].recordCount == table.series[c].includedCount(),
                "the table reads back otherwise", table.series[c].duration.label);
    return 0;
}
