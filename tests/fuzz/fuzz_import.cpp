// The import's reader: whatever the bytes, they are read or refused with a message, and a series
// built from them keeps its promises (years in order, at most 257 taken, CSV that reads back).

#include "statistics/dataerror.h"
#include "formats/datafile.h"
#include "formats/import.h"
#include "fuzzcheck.h"

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
    ImportSource source;
    if (!CatchOnly<DataError>("ParseImportSource", [&] { source = ParseImportSource(bytes); }))
        return 0;
    ImportOptions options;
    options.aggregate = pick & 1 ? ImportAggregate::Max : ImportAggregate::Sum;
    options.days = pick & 1 ? 1 + (pick >> 1) % 7 : 1;
    options.yearStartMonth = 1 + (pick >> 4) % 12;
    options.coverage = (pick & 2) ? 0 : 80;
    AnnualSeries series;
    if (!CatchOnly<DataError>("BuildAnnualSeries",
                              [&] { series = BuildAnnualSeries(source, options); }))
        return 0;
    Require(series.includedCount() <= kMaxRecords, "more years than the series holds");
    for (qsizetype i = 1; i < series.rows.size(); ++i)
        Require(series.rows[i].year == series.rows[i - 1].year + 1, "years not one after another");
    for (const AnnualRow& row : series.rows) {
        Require(!row.included || std::isfinite(row.value), "a year taken without a finite value");
        Require(row.validCount <= row.periodCount || row.periodCount == 1,
                "more valid days than the year has", QString::number(row.year));
    }
    // What --import writes reads back through the data file loader as the same series.
    if (series.includedCount() == 0)
        return 0;
    SeriesData read;
    MustNotThrow("ParseDataFile", [&] { read = ParseDataFile(AnnualSeriesCsv(series)); });
    int i = 0;
    for (const AnnualRow& row : series.rows) {
        if (!row.included)
            continue;
        Require(read.years[i] == row.year && read.values[i] == row.value,
                "written series reads back otherwise", QString::number(row.year));
        ++i;
    }
    return 0;
}
