#pragma once

#include "state/appstate.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QPagedPaintDevice;

// The study report: A4 pages in Japanese, the text laid out by QTextDocument (which breaks long
// tables across pages and repeats their header rows), the chart drawn by the printed page's own
// code. Everything is read from the one computed study; nothing is fitted again.

// One part of the report: a heading and its body as rich text. Each starts on a page of its own.
struct ReportSection {
    QString heading;
    QString html;
};

// The series' mean, standard deviation (N − 1), coefficient of variation and skewness
// (the unbiased n/((n−1)(n−2)) Σ((x−m)/s)³); nothing that cannot be had (fewer than two or
// three records, or values that do not vary).
struct SeriesMoments {
    std::optional<double> mean;
    std::optional<double> deviation;
    std::optional<double> variation;
    std::optional<double> skewness;
};
SeriesMoments ComputeSeriesMoments(const SeriesData& series);

// What the report says about the figures a careful reader questions: a small sample, an alpha
// other than Cunnane's, a selected 1/100 value below the record, a model passing by a hair, a
// negative value, periods beyond twice the record. Empty when nothing applies.
QStringList ReportNotes(const AppState& state);

// The model whose probable values and curve the report shows: the one highlighted in the open
// comparison window, else the selected one; nothing when neither.
std::optional<ModelId> ReportModel(const AppState& state);

// The sections before the chart page (summary, data checks, comparison, probable values) and
// after it (the data, then whatever AppendDurationSections adds).
std::vector<ReportSection> ReportSectionsBeforeChart(const AppState& state);
std::vector<ReportSection> ReportSectionsAfterChart(const AppState& state);

// The pages of a duration table: the T-year values by duration and the intensity formulas (their
// chart is a page of its own after them, drawn by the window's chart code).
void AppendDurationSections(const AppState& state, std::vector<ReportSection>& sections);

// The line at the top of every page: the series' title, its file and the date made.
QString ReportHeaderLine(const AppState& state, const QDateTime& made);

// Draws the whole report on device (A4 portrait): the text sections, the chart page between
// them, each page with its header line and "n / N". Returns the number of pages. Throws
// DataError as the printed page does (a scale that does not span a decade).
int DrawReport(AppState& state, QPagedPaintDevice& device, const QDateTime& made);

// The report into a PDF file, all or nothing, never over one of inputs (links followed).
// Throws DataError naming the file when it cannot be written.
void WriteReportPdf(AppState& state, const QString& path, const QStringList& inputs,
                    const QDateTime& made = QDateTime::currentDateTime());

// The name the report of a data file is offered as: beside it, "rain.csv" gives
// "rain-report.pdf". Empty without a data file.
QString SuggestedReportPath(const QString& dataFileName);
