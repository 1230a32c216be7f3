#pragma once

#include "state/appstate.h"
#include "statistics/curve.h"
#include "chart/drawingsurface.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

// Where the paper lies on one surface. Positions are worked out on a grid of the caller's
// choice, then taken to the surface as (grid + surfaceOrigin) / gridPerUnit:
//   screen chart  grid = the 4000 x 5000 scale, axis 0..3000 from the frame's left edge,
//                 median at 0, surfaceOrigin (700, 2300), marks at whole units;
//   printed page  grid = tenths of a millimetre with the print offsets in axisLeft and
//                 medianY, surface in millimetres (gridPerUnit 10).
// A window of any pixel size gives its own frame and decades.
struct PaperGeometry {
    // The value axis: 10^minExponent at axisLeft, 10^maxExponent axisLength further right.
    double axisLeft = 0;
    double axisLength = 0;
    int minExponent = 0;
    int maxExponent = 0;
    // Deviate 0 at medianY; one deviate is deviateUnit upward (towards smaller y).
    double medianY = 0;
    double deviateUnit = 0;
    QPointF surfaceOrigin{0, 0};
    double gridPerUnit = 1;
    // Points and grid lines at whole grid units (the screen); curves are never rounded.
    bool wholeUnits = false;
};

// A probability line and its label, four characters so the labels line up on their right.
struct ProbabilityLine {
    double p;
    const char* label;
};

// The fifteen probability lines of the paper, 0.1 % at the bottom to 99.9 % at the top.
inline constexpr ProbabilityLine kProbabilityLines[] = {
    {0.001, " 0.1"}, {0.01, "   1"}, {0.05, "   5"}, {0.1, "  10"},  {0.2, "  20"},
    {0.3, "  30"},   {0.4, "  40"},  {0.5, "  50"},  {0.6, "  60"},  {0.7, "  70"},
    {0.8, "  80"},   {0.9, "  90"},  {0.95, "  95"}, {0.99, "  99"}, {0.999, "99.9"},
};

// Log-normal probability paper: log10 of the value across, the standard normal deviate up.
class ProbabilityPaper {
public:
    ProbabilityPaper(const PaperGeometry& geometry, const DeviateTable& table);

    int Decades() const { return g_.maxExponent - g_.minExponent; }
    int MinExponent() const { return g_.minExponent; }

    // Surface position of (log10 value, deviate), unrounded.
    QPointF Position(double logValue, double deviate) const;
    // The same for a mark (a point, a grid line): whole grid units on a whole-unit paper, and
    // far-off positions held to the generous range, so rounding never fails.
    QPointF MarkPosition(double logValue, double deviate) const;

    // Surface y of probability line i of kProbabilityLines.
    double ProbabilityY(int i) const;
    // Surface y of the 99.9 % and 0.1 % lines, which bound the frame.
    double TopY() const { return ProbabilityY(std::size(kProbabilityLines) - 1); }
    double BottomY() const { return ProbabilityY(0); }
    // The deviates of those two lines, between which a curve is drawn.
    double TopDeviate() const;
    double BottomDeviate() const;
    // Surface x of the decade line k (0 .. Decades()) and of j times its power of ten
    // (j = 2..9) inside decade k (1 .. Decades()).
    double DecadeX(int k) const;
    double MinorX(int k, int j) const;
    // The frame: value axis ends across, 99.9 % to 0.1 % up.
    QRectF Frame() const;
    // Surface x of grid x, for whatever the caller places beside the paper.
    double SurfaceX(double gridX) const;

    // The fitted line log10 v = logMean + slope * z from z = +3 to -3, cut where it leaves the
    // value axis at an end, clipped to the generous range of the grid, in grid units. Nothing
    // when the line is level and lies wholly beyond the axis, or misses that range.
    std::optional<QLineF> FittedLineOnGrid(double logMean, double slope) const;
    // The same on the surface: rounded to whole grid units on a whole-unit paper.
    std::optional<QLineF> FittedLine(double logMean, double slope) const;

    // The curve as dashes of `dash` with gaps of `gap` surface units, the pattern running on
    // across the corners, drawn with solid Line calls and cut to the frame.
    void DrawDashedCurve(DrawingSurface& surface, const Curve& curve, double dash, double gap,
                         const QColor& colour) const;

private:
    double GridX(double logValue) const;
    double MarkX(double decades) const;
    double MarkY(double deviate) const;
    double GridY(double deviate) const;
    double SurfaceY(double gridY) const;

    PaperGeometry g_;
    const DeviateTable& table_;
};

// The grid as the screen chart draws it, on any paper: the fifteen probability lines from a tick
// left of the frame to its right edge, each labelled left of the frame; then the decade lines
// reaching a tick below the frame with their values under them, and dotted lines at 2 to 9
// times each decade's power of ten. Positions are rounded to whole surface units.
void DrawProbabilityGrid(const ProbabilityPaper& paper, DrawingSurface& surface, int frameLeft,
                         int frameRight, int tick);
void DrawDecadeGrid(const ProbabilityPaper& paper, DrawingSurface& surface, int tick);
