#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

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
    QString item;            // "降水量の合計" and the like; empty when unknown
    QString unit;            // "mm"; empty when unknown
    QString observationFile; // the file the import read; empty for a data file
    QString built;           // what the import built, in a line of words
    QStringList leftOut;     // "1990 年：…" for each year the import left out
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

// What the user chooses for the analysis, the chart and the printed page. The window's settings
// commands change it; a batch run starts every file from one copy of it.
struct ChartSettings {
    // Plotting-position parameter.
    double alpha = 0.5;
    // How much of the fitted line the charts show: 0 nothing, 1 the line, 2 line and values.
    int32_t analysisMode = 0;
    // The jackknife error band around the fitted line, on screen and paper (off at start).
    bool showErrorBand = false;
    // 1 once the first successful load has applied the defaults below; never back to 0.
    int32_t defaultsApplied = 0;
    // Decade exponents of the value axis ends; 0 until the first load sets them.
    int32_t scaleMaxIndex = 0;
    int32_t scaleMinIndex = 0;
    // Printed pen widths, 1 to 5 once set.
    int32_t solidLineWidth = 0;
    int32_t dashedLineWidth = 0;
    int32_t regressionLineWidth = 0;
    // Shift of the printed image in tenths of a millimetre, taken by each print job.
    double printOffsetX = 0;
    double printOffsetY = 0;
    QString axisTitle = kDefaultAxisTitle;
};

enum class ModelId;

// The candidate distributions whose curves the comparison window has ticked, and whether the
// main chart and the printed page draw them too. The ticks outlive the window: closed, it leaves
// the curves where they are, fitted again to whatever series is loaded next.
struct ComparedCurves {
    bool show = false;
    std::vector<ModelId> models;
};

// The editor window's buffers.
struct EditorBuffers {
    QString editorFileName;
    QString editorText;
    std::array<QString, kMaxRecords> editorLines{};
    int32_t editorLineCount = 0;
    int32_t newDataFirstYear = 0;
    int32_t newDataLastYear = 0;
};

// Usage help topics: entry 0 is the title, the rest are the message lines with their ends.
struct HelpTexts {
    std::array<QString, 14> drawingHelpText{};
    std::array<QString, 14> dataHelpText{};
    std::array<QString, 8> analysisHelpText{};
};

// What the user is told when the value axis does not span a decade (its minimum not below its
// maximum): nothing can be placed on such an axis.
inline const QString kScaleMessage = QStringLiteral("スケールを正しく選択してね");
inline bool ScaleIsValid(const ChartSettings& settings) {
    return settings.scaleMaxIndex > settings.scaleMinIndex;
}

// Everything that outlives one user action. One instance, made by main and passed by reference.
//
//   state.deviateTable    the normal deviate table, loaded once at start-up
//   state.startDirectory  the current directory when the program started
//   state.dataFileName    the data file the next load reads
//   state.deviateTableFileName  where the deviate table was read: an input no output replaces
//   state.redrawMode      what the next Redraw does (print, redraw, load, re-analyse, exit)
//   state.series          the loaded series: recordCount, years, values
//   state.analysis        the last analysis of that series, replaced whole by every analysis
//   state.settings        alpha, analysis mode, scale, pen widths, print offsets, axis title
//   state.compared        the comparison's ticked models and whether the charts show them
//   state.editor          the editor's file name, text, lines and new-data year range
//   state.help            the help menu's texts
struct AppState {
    DeviateTable deviateTable{};
    QString startDirectory;
    QString dataFileName;
    QString deviateTableFileName;
    int32_t redrawMode = 0;

    SeriesData series;
    AnalysisResult analysis;
    ChartSettings settings;
    ComparedCurves compared;
    EditorBuffers editor;
    HelpTexts help;
};

// The settings the first successful load applies, once the series is loaded: the scale that
// shows the series (FittingScale: 10 to 1000 whenever every value lies inside it), print widths
// 3, 2 and 5, analysis mode 0. The batch run takes the same ones for every file it loads.
void ApplyFirstLoadDefaults(ChartSettings& settings, const SeriesData& series);
