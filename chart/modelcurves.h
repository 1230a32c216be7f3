#pragma once

#include "chart/drawingsurface.h"
#include "chart/probabilitypaper.h"
#include "state/appstate.h"
#include "statistics/curve.h"
#include "statistics/distributioncomparison.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

// The colour of a model's curve, the same in every chart. Six colours serve the eleven models:
// a model whose colour an earlier one has is drawn dashed wherever its curve is solid.
QColor ModelColour(ModelId id);
bool ModelCurveDashed(ModelId id);

// How one curve is stroked: its colour and, where colour may not survive (a page printed in
// black), a dash pattern in surface units; a gap of 0 is a solid line.
struct CurvePen {
    QColor colour;
    double dash = 1;
    double gap = 0;
};

// A model's pen on a chart that draws solid curves: its colour, dashed (dash and gap in surface
// units) when ModelCurveDashed.
CurvePen ModelPen(ModelId id, double dash, double gap);

// A model's curve on a chart with its pen and its legend text; the points stay owned by the
// study that computed them.
struct ModelCurve {
    const Curve* points;
    CurvePen pen;
    QString label;
};

// The models' curves in their own colours, each in its full name, solid: the comparison
// window's way.
std::vector<ModelCurve> ColouredCurves(const std::vector<const ModelComparison*>& models);

// Each curve (from the paper's 0.1 % line to its 99.9 % line, as the study computed it) cut to
// the frame, with the surface's pen width.
void DrawModelCurves(const ProbabilityPaper& paper, DrawingSurface& surface,
                     const std::vector<ModelCurve>& curves);

// Where a legend goes and how it is laid out: rows from topLeft, filling `columns` columns of
// columnWidth left to right, a stroke of sampleLength then the label a gap after it.
struct LegendLayout {
    QPointF topLeft;
    int columns = 1;
    double columnWidth = 0;
    double sampleLength = 0;
    double gap = 0;
    // Rows above the first, left for another legend.
    int firstRow = 0;
};

// The width and height of a one-column legend in the surface's current font.
QSizeF CurveLegendSize(DrawingSurface& surface, const std::vector<ModelCurve>& curves,
                       double sampleLength, double gap);

// Where a legend of `size` goes inside the frame, `margin` from its sides: the top-left corner,
// unless the series' middle (seriesX) lies in the left half of the frame. Points rise from the
// bottom left to the top right, so a series on the left crowds the top-left corner and leaves the
// bottom-right one clear.
QPointF LegendCorner(const QRectF& frame, double seriesX, QSizeF size, double margin);

// The legend in the surface's current font and pen width; a curve without a label has no row.
void DrawCurveLegend(DrawingSurface& surface, const std::vector<ModelCurve>& curves,
                     const LegendLayout& layout);

// The interval the main chart and the printed page draw, of the comparison's highlighted model
// while its window is open, else of the selected one; nothing when the interval is not asked
// for, the bootstrap has not been run or the model has no bootstrap figures.
struct ShownInterval {
    ModelId model;
    const IntervalBand* band;
};
std::optional<ShownInterval> ShownIntervalOf(const AppState& state);
// What the interval is, for a legend: the model, the level and the kind; then, for a second
// line, B, the seed and how the resamples were made.
QString IntervalLegendText(const AppState& state, ModelId model);
QString IntervalSettingsText(const AppState& state);

// A legend's rows stand this many text heights apart, so a stroke does not run into the next
// label.
inline constexpr double kLegendSpacing = 1.25;
// The models the comparison ticks, in table order: the user's ticks once the user has chosen any,
// else the selected model; only those the study could fit.
std::vector<ModelId> TickedCurveModels(const AppState& state);

// The models whose curves the main chart and the printed page draw: the comparison's ticked
// models as the study fitted them, leaving out any the study could not fit or measure; none
// while the charts are not asked to show them. The study's models are read, never fitted again.
std::vector<const ModelComparison*> ShownCurveModels(const AppState& state);
