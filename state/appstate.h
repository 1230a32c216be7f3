#pragma once

#include "statistics/intensity.h"
#include "statistics/seriesdata.h"
#include "statistics/study.h"
#include "statistics/target.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// What the user chooses for the analysis, the chart and the printed page. The window's settings
// commands change it; a batch run starts every file from one copy of it.
struct ChartSettings {
    // Plotting-position parameter.
    double alpha = 0.5;
    // What the comparison's selection minimises, and by which error.
    Target target = kDefaultTarget;
    SelectionRule selectBy = SelectionRule::Jackknife;
    // How the models' bootstrap is run and which of its intervals the charts draw.
    BootstrapSettings bootstrap;
    // How much of the fitted line the charts show: 0 nothing, 1 the line, 2 line and values.
    int32_t analysisMode = 0;
    // The jackknife error band around the fitted line, on screen and paper (off at start).
    bool showErrorBand = false;
    // The bootstrap interval of the selected (or highlighted) model, on screen and paper (off at
    // start).
    bool showInterval = false;
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
// Until the user ticks or unticks a curve, the ticks are nobody's choice and the selected model
// is ticked by itself; from then on they are the user's, kept across refits, new targets, alphas
// and series, a model the series cannot be fitted to included (it comes back when it can).
struct ComparedCurves {
    bool show = false;
    std::vector<ModelId> models;
    // The model whose row the comparison window highlights while it is open: the one whose
    // interval the charts draw then.
    std::optional<ModelId> highlighted;
    bool chosen = false;
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

// A duration table on show: each of its durations a series of its own, one of them loaded.
struct LoadedDurations {
    QString file;       // the table's file, or the observation file it was built from
    QStringList labels; // "1h", "q95": the table's columns
    QStringList names;  // "1 時間", "渇水流量（355 日）": the menu's items and the caption
    QStringList axisTitles;   // each duration's axis title; empty where nothing is known
    QList<SeriesData> series; // one per label
    int shown = -1;           // the loaded one; -1 when the loaded series is no table's
    // The values are rainfall summed over each duration, as the intensity formulas need; a
    // table read back names only its durations and is taken as rainfall, as its titles are.
    bool rainfall = true;
    bool loaded() const { return shown >= 0 && shown < series.size(); }
};

// The T-year rainfall of every duration of the loaded table and the intensity formulas, with
// the choices they are computed by. Computed when a table loads, alpha or the target changes or
// a choice changes, never on a paint; the window and the report read it.
struct IntensityFigures {
    // The durations fitted, as indices into study->durations; nothing: those up to a day.
    std::optional<std::vector<size_t>> fitted;
    // One model for every duration; nothing: each duration's selected model.
    std::optional<ModelId> model;
    // Nothing without a table of rainfall durations; with fewer than three durations fitted it
    // holds the durations' values and formulas that say why they are missing.
    std::optional<IntensityStudy> study;
    // Why there is no study, or why no formula is fitted; empty when all is there.
    QString problem;
    // How many times the figures were computed from the table (a choice of the durations fitted
    // or of the model refits nothing).
    int computed = 0;
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
//   state.settings        alpha, target, analysis mode, scale, pen widths, print offsets, axis
//                         title
//   state.study           the loaded series and everything computed from it with the settings
//                         (its analysis, fit measures, models and selection), replaced whole by
//                         every load or re-analysis and read by every view and export
//   state.studiesComputed how many studies have been computed: one per load or re-analysis
//   state.compared        the comparison's ticked models and whether the charts show them
//   state.editor          the editor's file name, text, lines and new-data year range
//   state.durations       the duration table whose one duration is the loaded series, if any
//   state.intensity       the T-year rainfall of the table's durations and the intensity
//                         formulas, with the durations fitted and the model chosen
struct AppState {
    DeviateTable deviateTable{};
    QString startDirectory;
    QString dataFileName;
    QString deviateTableFileName;
    int32_t redrawMode = 0;

    ChartSettings settings;
    Study study;
    int studiesComputed = 0;
    ComparedCurves compared;
    EditorBuffers editor;
    LoadedDurations durations;
    IntensityFigures intensity;
};

// The settings the first successful load applies, once the series is loaded: the scale that
// shows the series (FittingScale: 10 to 1000 whenever every value lies inside it), print widths
// 3, 2 and 5, analysis mode 0. The batch run takes the same ones for every file it loads.
void ApplyFirstLoadDefaults(ChartSettings& settings, const SeriesData& series);
